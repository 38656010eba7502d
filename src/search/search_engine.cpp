#include "search/search_engine.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <unordered_set>

#include "search/search_run.h"
#include "text/line_split.h"

namespace quellor::search {

namespace {

// A run's latest report, until DeliverPending hands it on as a RunStatus.
struct Status {
  RunStatus::Stage stage;
  std::size_t keyword = 0;           // KeywordSearched: its index
  std::size_t folders_not_read = 0;  // the ends: how many, so far
  bool out_of_memory = false;        // the ends: stopped for want of memory
  std::vector<WalkedRoot> walked = {};  // the ends
  std::string root = {};                // VolumeBeingRead
  int percent = 0;                   // VolumeBeingRead
};

}  // namespace

struct SearchEngine::Impl {
  struct Run {
    std::uint64_t id = 0;
    std::atomic<bool> stop{false};
    std::atomic<bool> ended{false};
    std::thread worker;
  };

  Impl(std::function<void()> wake_call, Batching batching_of_owner)
      : wake(std::move(wake_call)), batching(batching_of_owner) {}

  std::function<void()> wake;
  const Batching batching;
  std::atomic<MatchMode> mode{MatchMode::Exact};
  // Owning thread only.
  std::shared_ptr<Run> current;
  std::vector<std::shared_ptr<Run>> runs;

  // Reports waiting for DeliverPending, guarded by `mutex`.
  std::mutex mutex;
  std::uint64_t delivering_run = 0;
  // The keywords of the delivering run, for its KeywordSearched status; set by
  // its worker once it has them.
  std::shared_ptr<const std::vector<std::string>> delivering_keywords;
  search::ResultRows pending_rows;
  std::optional<Status> pending_status;
  bool wake_sent = false;

  // Owning thread only: rows taken from `pending_rows` and not yet shown,
  // and a status held back until they are.
  search::ResultRows taking_rows;
  int taking_next = 0;
  std::optional<Status> held_status;
  // The display could hold no more rows of the delivering run: the run was
  // stopped, and its later rows are dropped.
  bool display_full = false;

  // Worker side: batches a run's reports and hands them over.
  class QueueSink : public RunSink {
   public:
    // The rows' keywords go with them, so whoever shows a row can say which keyword found it.
    QueueSink(Impl& impl, Run& run, ResultRows::Keywords keywords)
        : impl_(impl), run_(run.id), stop_(run.stop), keywords_(std::move(keywords)) {
      rows_.SetRunKeywords(keywords_);
    }
    void AddResultRow(std::string_view path, platform::PathKind kind, std::size_t keyword,
                      const platform::EntryFacts& facts) override {
      if (out_of_memory_) return;
      try {
        rows_.Append(path, kind, keyword < ResultRows::kNoKeyword ? static_cast<std::uint32_t>(keyword)
                                                                  : ResultRows::kNoKeyword,
                     facts);
      } catch (const std::bad_alloc&) {
        OutOfMemory();
      }
    }
    void KeywordsSearched(std::size_t count) override {
      if (count > 0) status_ = Status{RunStatus::Stage::KeywordSearched, count - 1};
    }
    void FileRunEnded() override { Ended(RunStatus::Stage::FileRunEnded); }
    void FolderRunStarted() override { status_ = Status{RunStatus::Stage::FolderRunStarted}; }
    void FolderRunEnded() override { Ended(RunStatus::Stage::FolderRunEnded); }
    // Each folder once, however often a walk reaches it (two roots may share it).
    void FolderNotRead(std::string_view path, platform::ReadProblem) override { not_read_.emplace(path); }
    void VolumeBeingRead(std::string_view root, int percent) override {
      Status reading{RunStatus::Stage::VolumeBeingRead};
      reading.root = root;
      reading.percent = percent;
      status_ = std::move(reading);
      // No folder is done while a table is read: each report may pass on.
      FolderDone();
    }
    void RootWalkedInstead(std::string_view root, WalkReason reason) override {
      walked_.push_back(WalkedRoot{std::string(root), reason});
    }
    void FolderDone() override {
      const auto now = std::chrono::steady_clock::now();
      if (static_cast<std::size_t>(rows_.Count()) >= impl_.batching.rows || now - last_ >= impl_.batching.delay) {
        Flush();
      }
    }
    void Flush() {
      last_ = std::chrono::steady_clock::now();
      if (rows_.Count() == 0 && !status_) return;
      bool wake = false;
      {
        std::lock_guard<std::mutex> hold(impl_.mutex);
        if (impl_.delivering_run == run_) {
          if (impl_.pending_rows.Count() == 0) {
            std::swap(impl_.pending_rows, rows_);
          } else {
            try {
              impl_.pending_rows.AppendFrom(rows_, 0, rows_.Count());
            } catch (const std::bad_alloc&) {
              OutOfMemory();
              if (status_) status_->out_of_memory = true;
            }
          }
          if (status_) impl_.pending_status = status_;
          wake = !impl_.wake_sent;
          impl_.wake_sent = true;
        }
      }
      rows_.Clear();
      rows_.SetRunKeywords(keywords_);
      status_.reset();
      if (wake && impl_.wake) impl_.wake();
    }

   private:
    void Ended(RunStatus::Stage stage) {
      status_ = Status{stage, 0, not_read_.size(), out_of_memory_, walked_};
      Flush();
    }
    // The run stops at its next check; the rows batched so far still go.
    void OutOfMemory() {
      out_of_memory_ = true;
      stop_ = true;
    }
    Impl& impl_;
    std::uint64_t run_;
    std::atomic<bool>& stop_;
    ResultRows::Keywords keywords_;
    bool out_of_memory_ = false;
    search::ResultRows rows_;
    std::optional<Status> status_;
    std::unordered_set<std::string> not_read_;
    std::vector<WalkedRoot> walked_;
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

  void Begin(RunRequest request, const RunSettings& settings, RunSink* tap) {
    StopCurrent();
    Reap(false);
    auto run = std::make_shared<Run>();
    {
      std::lock_guard<std::mutex> hold(mutex);
      run->id = ++delivering_run;
      delivering_keywords.reset();
      pending_rows.Clear();
      pending_status.reset();
    }
    taking_rows.Clear();
    taking_next = 0;
    held_status.reset();
    display_full = false;
    current = run;
    if (request.kind == NameKind::Files && request.roots.empty()) {
      run->ended = true;
      return;
    }
    // Shared with the thread, so that it is still here when no thread can be had.
    auto job = std::make_shared<RunRequest>(std::move(request));
    Run* raw = run.get();
    try {
      run->worker = std::thread([this, raw, job, settings, tap] { Work(*raw, std::move(*job), settings, tap); });
    } catch (const std::system_error&) {
      if (tap) {
        Work(*raw, std::move(*job), settings, tap);
      } else {
        run->ended = true;  // as a run over no root would
      }
      return;
    }
    runs.push_back(run);
  }

  void Work(Run& run, RunRequest request, const RunSettings& settings, RunSink* tap) {
    if (request.keywords.empty() && !request.keyword_lines.empty()) {
      request.keywords = text::SplitLines(*settings.charset, request.keyword_lines);
      request.keyword_lines = {};
    }
    // Only DeliverPending needs them (a KeywordSearched status, and the rows
    // say which keyword found them); a tapped run delivers nothing.
    std::shared_ptr<const std::vector<std::string>> keywords;
    if (!tap) {
      keywords = std::make_shared<const std::vector<std::string>>(request.keywords);
      std::lock_guard<std::mutex> hold(mutex);
      if (delivering_run == run.id) delivering_keywords = keywords;
    }
    if (tap) {
      SearchRun(std::move(request), settings, *tap, run.stop, mode).Run();
    } else {
      QueueSink sink(*this, run, std::move(keywords));
      SearchRun(std::move(request), settings, sink, run.stop, mode).Run();
      sink.Flush();
    }
    run.ended = true;
  }
};

SearchEngine::SearchEngine(std::function<void()> wake, Batching batching)
    : impl_(std::make_unique<Impl>(std::move(wake), batching)) {}

SearchEngine::~SearchEngine() { StopAndWait(); }

void SearchEngine::Start(RunRequest request, RunSettings settings, RunSink* tap) {
  impl_->Begin(std::move(request), settings, tap);
}

void SearchEngine::WaitForEnd() {
  const std::shared_ptr<Impl::Run>& run = impl_->current;
  if (run && run->worker.joinable()) run->worker.join();
}

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

bool SearchEngine::AllDelivered() const {
  const Impl& impl = *impl_;
  if (impl.taking_next < impl.taking_rows.Count() || impl.held_status) return false;
  std::lock_guard<std::mutex> hold(impl_->mutex);
  return impl.pending_rows.Count() == 0 && !impl.pending_status;
}

bool SearchEngine::DeliverPending(RunDisplay& display, std::chrono::steady_clock::time_point deadline) {
  // The clock is read once per this many rows: appending one costs well under a microsecond.
  constexpr int kRowsPerClockCheck = 256;
  Impl& impl = *impl_;
  bool rows_waiting = false;
  for (;;) {
    if (impl.taking_next >= impl.taking_rows.Count()) {
      std::lock_guard<std::mutex> hold(impl.mutex);
      impl.taking_rows.Clear();
      std::swap(impl.taking_rows, impl.pending_rows);
      impl.taking_next = 0;
      if (impl.pending_status) impl.held_status = impl.pending_status;
      impl.pending_status.reset();
      impl.wake_sent = false;
      if (impl.taking_rows.Count() == 0) break;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      rows_waiting = true;
      break;
    }
    const int end = std::min(impl.taking_rows.Count(), impl.taking_next + kRowsPerClockCheck);
    if (!impl.display_full) {
      try {
        display.AppendRows(impl.taking_rows, impl.taking_next, end);
      } catch (const std::bad_alloc&) {
        // What the display holds stays; the run ends and says why.
        impl.display_full = true;
        impl.StopCurrent();
      }
    }
    impl.taking_next = end;
  }

  if (!impl.held_status) return rows_waiting;
  const Status status = *impl.held_status;
  if (status.stage == RunStatus::Stage::VolumeBeingRead) {
    RunStatus reading{status.stage};
    reading.root = status.root;
    reading.percent = status.percent;
    display.ShowStatus(reading);
    impl.held_status.reset();
    return rows_waiting;
  }
  if (status.stage == RunStatus::Stage::KeywordSearched) {
    // A held status is the delivering run's, which published its keywords before it reported.
    std::shared_ptr<const std::vector<std::string>> keywords;
    {
      std::lock_guard<std::mutex> hold(impl.mutex);
      keywords = impl.delivering_keywords;
    }
    if (keywords && status.keyword < keywords->size()) {
      display.ShowStatus(RunStatus{status.stage, (*keywords)[status.keyword]});
    }
    impl.held_status.reset();
    return rows_waiting;
  }
  // Any other status counts every row of the run so far: it waits for the last of them.
  if (rows_waiting) return true;
  impl.held_status.reset();
  display.ShowAppendedRows();
  display.ShowStatus(RunStatus{status.stage, {}, display.RowCount(), status.folders_not_read,
                               status.out_of_memory || impl.display_full, status.walked});
  return false;
}

}  // namespace quellor::search
