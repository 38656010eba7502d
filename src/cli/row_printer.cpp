#include "cli/row_printer.h"

#include "search/progress_number.h"
#include "platform/tick_count.h"

namespace quellor::cli {

namespace {
constexpr auto kProgressInterval = std::chrono::milliseconds(100);
}

text::ShownText FindStatusText(const search::RunStatus& status, std::uint32_t tick) {
  using Stage = search::RunStatus::Stage;
  switch (status.stage) {
    case Stage::KeywordSearched:
      return text::ShownText("请稍后，正在搜索")
          .AddName(status.keyword)
          .AddWords("  加速" + std::to_string(search::ProgressNumber(tick)));
    case Stage::FolderRunStarted:
      return text::ShownText("正在搜索，请等待......");
    case Stage::FileRunEnded:
      return text::ShownText("搜索完毕！共搜索到文件" + std::to_string(status.rows) + "个.");
    case Stage::FolderRunEnded:
      return text::ShownText("搜索完毕！共搜索到文件夹" + std::to_string(status.rows) + "个.");
    case Stage::VolumeBeingRead:
      return text::ShownText("请稍后，正在读取")
          .AddName(status.root)
          .AddWords("的磁盘索引 " + std::to_string(status.percent) + "%");
  }
  return {};
}

RowPrinter::RowPrinter(const std::vector<std::string>& keywords, Settings settings, std::FILE* out, std::FILE* err)
    : keywords_(keywords), settings_(settings), out_(out, settings.utf8), err_(err) {}

void RowPrinter::AddResultRow(std::string_view path, platform::PathKind, std::size_t, const platform::EntryFacts&) {
  ++rows_;
  if (!settings_.print_rows) return;
  const char end = settings_.null_separated ? '\0' : '\n';
  switch (out_.WritePath(path, end)) {
    case PathWritten::Written:
      break;
    case PathWritten::Failed:
      write_failed_ = true;
      break;
    case PathWritten::NotInCodePage:
      // Never with a '?' in its place: a script would take it for a wildcard.
      ++not_printed_;
      ClearProgress();
      err_.Write(text::ShownText("quellor-find: ")
                     .AddName(path)
                     .AddWords(": the output's code page cannot write this path; not printed (--utf8 prints "
                               "every path as UTF-8)\n"));
      std::fflush(err_.file());
      break;
  }
}

void RowPrinter::KeywordsSearched(std::size_t count) {
  if (!settings_.status || !settings_.progress || count == 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - last_progress_ < kProgressInterval) return;
  last_progress_ = now;
  Show(search::RunStatus{search::RunStatus::Stage::KeywordSearched, keywords_[count - 1]}, false);
}

void RowPrinter::FolderRunStarted() {
  if (!settings_.status || !settings_.progress) return;
  Show(search::RunStatus{search::RunStatus::Stage::FolderRunStarted}, false);
}

void RowPrinter::ClearProgress() {
  if (progress_width_ == 0) return;
  err_.Write("\r" + std::string(progress_width_, ' ') + "\r");
  progress_width_ = 0;
}

void RowPrinter::FolderNotRead(std::string_view path, platform::ReadProblem problem) {
  if (!not_read_.emplace(path).second) return;
  // Not into the middle of a progress line: blank it first; the next progress text writes it anew.
  ClearProgress();
  err_.Write(text::ShownText("quellor-find: ")
                 .AddName(path)
                 .AddWords(problem == platform::ReadProblem::TooLong ? ": path too long, not searched\n"
                                                                     : ": cannot read the folder, not searched\n"));
  std::fflush(err_.file());
}

void RowPrinter::VolumeBeingRead(std::string_view root, int percent) {
  if (!settings_.status || !settings_.progress) return;
  search::RunStatus reading{search::RunStatus::Stage::VolumeBeingRead};
  reading.root = root;
  reading.percent = percent;
  Show(reading, false);
}

namespace {

std::string_view WalkReasonText(search::WalkReason reason) {
  switch (reason) {
    case search::WalkReason::NoRights:
      return "reading the volume needs an elevated (administrator) process";
    case search::WalkReason::Declined:
      return "the index was declined";
    case search::WalkReason::HelperFailed:
      return "the process reading it did not run";
    case search::WalkReason::ReadFailed:
      return "its table of files could not be read";
  }
  return {};
}

}  // namespace

void RowPrinter::RootWalkedInstead(std::string_view root, search::WalkReason reason) {
  if (!settings_.status) return;
  ClearProgress();
  err_.Write(text::ShownText("quellor-find: ")
                 .AddName(root)
                 .AddWords(": searched folder by folder: " + std::string(WalkReasonText(reason)) + "\n"));
  std::fflush(err_.file());
}

void RowPrinter::Show(const search::RunStatus& status, bool final) {
  Status(FindStatusText(status, platform::TickCount()), final);
}

void RowPrinter::Status(const text::ShownText& status, bool final) {
  if (!settings_.status) return;
  const std::size_t width = status.Bytes().size();
  text::ShownText line;
  if (settings_.progress) {
    // The progress line is overwritten in place, blanks covering a longer one.
    line.AddWords("\r");
    for (const text::ShownText::Piece& piece : status.Pieces()) {
      piece.kind == text::ShownText::Kind::Name ? line.AddName(piece.bytes) : line.AddWords(piece.bytes);
    }
    if (width < progress_width_) line.AddWords(std::string(progress_width_ - width, ' '));
    progress_width_ = final ? 0 : width;
  } else {
    line = status;
  }
  if (final) line.AddWords("\n");
  err_.Write(line);
  std::fflush(err_.file());
}

void RowPrinter::Close() {
  if (std::fflush(out_.file()) != 0) write_failed_ = true;
  if (end_) {
    Show(search::RunStatus{*end_, {}, static_cast<int>(rows_)}, true);
  } else if (progress_width_ > 0) {
    Status(text::ShownText(), true);
  }
}

}  // namespace quellor::cli
