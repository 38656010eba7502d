#include "search/search_engine.h"

#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "platform/tick_count.h"
#include "search/search_run.h"
#include "search/status_texts.h"

namespace quellor::search {

namespace {

enum class StatusKind { Progress, FilesFinished, FolderRunStart, FoldersFinished };

struct Status {
  StatusKind kind;
  std::size_t keyword = 0;  // Progress: the keyword just searched
};

// How long reports may wait in a worker before they are passed on.
constexpr auto kBatchDelay = std::chrono::milliseconds(30);
constexpr std::size_t kBatchRows = 1024;

}  // namespace

struct SearchEngine::Impl {
  struct Run {
    std::uint64_t id = 0;
    std::atomic<bool> stop{false};
    std::atomic<bool> ended{false};
    std::shared_ptr<const std::vector<std::string>> keywords;
    std::thread worker;
  };

  explicit Impl(std::function<void()> wake_call) : wake(std::move(wake_call)) {}

  std::function<void()> wake;
  std::atomic<MatchMode> mode{MatchMode::Exact};
  // Owning thread only.
  std::shared_ptr<Run> current;
  std::vector<std::shared_ptr<Run>> runs;

  // Reports waiting for DeliverPending, guarded by `mutex`.
  std::mutex mutex;
  std::uint64_t delivering_run = 0;
  std::shared_ptr<const std::vector<std::string>> delivering_keywords;
  std::vector<std::string> pending_rows;
  std::optional<Status> pending_status;
  bool wake_sent = false;

  // Worker side: batches a run's reports and hands them over.
  class QueueSink : public RunSink {
   public:
    QueueSink(Impl& impl, std::uint64_t run) : impl_(impl), run_(run) {}
    void AddResultRow(std::string_view path, std::size_t) override { rows_.emplace_back(path); }
    void ReportKeywordProgress(std::size_t count) override {
      if (count > 0) status_ = Status{StatusKind::Progress, count - 1};
    }
    void ShowFilesFinished() override { Final(StatusKind::FilesFinished); }
    void ShowFolderRunStart() override { status_ = Status{StatusKind::FolderRunStart}; }
    void ShowFoldersFinished() override { Final(StatusKind::FoldersFinished); }
    void FolderDone() override {
      const auto now = std::chrono::steady_clock::now();
      if (rows_.size() >= kBatchRows || now - last_ >= kBatchDelay) Flush();
    }
    void Flush() {
      last_ = std::chrono::steady_clock::now();
      if (rows_.empty() && !status_) return;
      bool wake = false;
      {
        std::lock_guard<std::mutex> hold(impl_.mutex);
        if (impl_.delivering_run == run_) {
          if (impl_.pending_rows.empty()) {
            impl_.pending_rows.swap(rows_);
          } else {
            for (std::string& row : rows_) impl_.pending_rows.push_back(std::move(row));
          }
          if (status_) impl_.pending_status = status_;
          wake = !impl_.wake_sent;
          impl_.wake_sent = true;
        }
      }
      rows_.clear();
      status_.reset();
      if (wake && impl_.wake) impl_.wake();
    }

   private:
    void Final(StatusKind kind) {
      status_ = Status{kind};
      Flush();
    }
    Impl& impl_;
    std::uint64_t run_;
    std::vector<std::string> rows_;
    std::optional<Status> status_;
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
  };

  void StopCurrent() {
    if (current) current->stop = true;
  }

  // Joins the threads of runs that have ended.
  void Reap(bool all) {
    for (auto it = runs.begin(); it != runs.end();) {
      if (all || (*it)->ended) {
        if ((*it)->worker.joinable()) (*it)->worker.join();
        it = runs.erase(it);
      } else {
        ++it;
      }
    }
  }

  void Begin(RunRequest request, const RunSettings& settings) {
    StopCurrent();
    Reap(false);
    auto run = std::make_shared<Run>();
    run->keywords = std::make_shared<const std::vector<std::string>>(request.keywords);
    {
      std::lock_guard<std::mutex> hold(mutex);
      run->id = ++delivering_run;
      delivering_keywords = run->keywords;
      pending_rows.clear();
      pending_status.reset();
    }
    current = run;
    if (request.kind == NameKind::Files && request.roots.empty()) {
      run->ended = true;
      return;
    }
    Run* raw = run.get();
    try {
      run->worker = std::thread([this, raw, request = std::move(request), settings]() mutable {
        QueueSink sink(*this, raw->id);
        SearchRun(std::move(request), settings, sink, raw->stop, mode).Run();
        sink.Flush();
        raw->ended = true;
      });
    } catch (const std::system_error&) {
      // No thread to be had: the run ends at once, as one over no root would.
      run->ended = true;
      return;
    }
    runs.push_back(run);
  }
};

SearchEngine::SearchEngine(std::function<void()> wake) : impl_(std::make_unique<Impl>(std::move(wake))) {}

SearchEngine::~SearchEngine() { StopAndWait(); }

void SearchEngine::Start(RunRequest request, RunSettings settings) { impl_->Begin(std::move(request), settings); }

void SearchEngine::SetMatchMode(MatchMode mode) { impl_->mode = mode; }

void SearchEngine::RequestStop() { impl_->StopCurrent(); }

void SearchEngine::StopAndWait() {
  StopAll();
  impl_->Reap(true);
}

bool SearchEngine::Running() const { return impl_->current && !impl_->current->ended; }

void SearchEngine::StopAll() {
  for (auto& run : impl_->runs) run->stop = true;
}

bool SearchEngine::Idle() const {
  for (const auto& run : impl_->runs) {
    if (!run->ended) return false;
  }
  return true;
}

void SearchEngine::DeliverPending(RunDisplay& display) {
  std::vector<std::string> rows;
  std::optional<Status> status;
  std::shared_ptr<const std::vector<std::string>> keywords;
  {
    std::lock_guard<std::mutex> hold(impl_->mutex);
    rows.swap(impl_->pending_rows);
    status.swap(impl_->pending_status);
    keywords = impl_->delivering_keywords;
    impl_->wake_sent = false;
  }
  if (!rows.empty()) display.AppendRows(rows);
  if (!status) return;
  switch (status->kind) {
    case StatusKind::Progress:
      display.SetStatusText(ProgressText((*keywords)[status->keyword], ProgressNumber(platform::TickCount())));
      break;
    case StatusKind::FilesFinished:
      display.SetStatusText(FilesFinishedText(display.RowCount()));
      break;
    case StatusKind::FolderRunStart:
      display.SetStatusText(kFolderRunStartText);
      break;
    case StatusKind::FoldersFinished:
      display.SetStatusText(FoldersFinishedText(display.RowCount()));
      break;
  }
}

}  // namespace quellor::search
