#include "cli/row_printer.h"

#include "platform/tick_count.h"
#include "search/status_texts.h"

namespace quellor::cli {

namespace {
constexpr auto kProgressInterval = std::chrono::milliseconds(100);
}

RowPrinter::RowPrinter(const std::vector<std::string>& keywords, Settings settings, std::FILE* out, std::FILE* err)
    : keywords_(keywords), settings_(settings), out_(out), err_(err) {}

void RowPrinter::AddResultRow(std::string_view path, std::size_t) {
  ++rows_;
  if (!settings_.print_rows) return;
  const char end = settings_.null_separated ? '\0' : '\n';
  if (std::fwrite(path.data(), 1, path.size(), out_) != path.size() || std::fputc(end, out_) == EOF) {
    write_failed_ = true;
  }
}

void RowPrinter::ReportKeywordProgress(std::size_t count) {
  if (!settings_.status || !settings_.progress || count == 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - last_progress_ < kProgressInterval) return;
  last_progress_ = now;
  Status(search::ProgressText(keywords_[count - 1], search::ProgressNumber(platform::TickCount())), false);
}

void RowPrinter::ShowFolderRunStart() {
  if (settings_.status && settings_.progress) Status(std::string(search::kFolderRunStartText), false);
}

void RowPrinter::FolderNotRead(std::string_view path, platform::ReadProblem problem) {
  if (!not_read_.emplace(path).second) return;
  // Not into the middle of a progress line: blank it first; the next progress text writes it anew.
  if (progress_width_ > 0) {
    std::fputc('\r', err_);
    for (std::size_t n = 0; n < progress_width_; ++n) std::fputc(' ', err_);
    std::fputc('\r', err_);
    progress_width_ = 0;
  }
  std::fprintf(err_, "quellor-find: %.*s: %s\n", static_cast<int>(path.size()), path.data(),
               problem == platform::ReadProblem::TooLong ? "path too long, not searched"
                                                         : "cannot read the folder, not searched");
  std::fflush(err_);
}

void RowPrinter::Status(const std::string& text, bool final) {
  if (!settings_.status) return;
  if (settings_.progress) {
    // The progress line is overwritten in place, blanks covering a longer one.
    std::fputc('\r', err_);
    std::fputs(text.c_str(), err_);
    for (std::size_t n = text.size(); n < progress_width_; ++n) std::fputc(' ', err_);
    progress_width_ = final ? 0 : text.size();
  } else {
    std::fputs(text.c_str(), err_);
  }
  if (final) std::fputc('\n', err_);
  std::fflush(err_);
}

void RowPrinter::Close() {
  if (std::fflush(out_) != 0) write_failed_ = true;
  const int rows = static_cast<int>(rows_);
  switch (finished_text_) {
    case Finished::Files:
      Status(search::FilesFinishedText(rows), true);
      break;
    case Finished::Folders:
      Status(search::FoldersFinishedText(rows), true);
      break;
    case Finished::None:
      if (progress_width_ > 0) Status("", true);
      break;
  }
}

}  // namespace quellor::cli
