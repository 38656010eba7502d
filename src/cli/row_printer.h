// quellor-find's sink: rows to standard output, status texts to standard error.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "cli/stream_text.h"
#include "search/run_sink.h"
#include "search/run_status.h"

namespace quellor::cli {

// quellor-find's status line for where a run stands: the window's words,
// without a count of the folders not read (each has a line of its own).
text::ShownText FindStatusText(const search::RunStatus& status, std::uint32_t tick);

class RowPrinter : public search::RunSink {
 public:
  struct Settings {
    bool null_separated = false;
    bool print_rows = true;
    bool status = true;     // the finished text on standard error
    bool progress = false;  // progress too (standard error is a terminal)
    bool utf8 = false;      // paths as UTF-8 on a file or pipe (--utf8)
  };
  RowPrinter(const std::vector<std::string>& keywords, Settings settings, std::FILE* out, std::FILE* err);

  void AddResultRow(std::string_view path, platform::PathKind kind, std::size_t keyword,
                    const platform::EntryFacts& facts) override;
  void KeywordsSearched(std::size_t count) override;
  void FileRunEnded() override { end_ = search::RunStatus::Stage::FileRunEnded; }
  void FolderRunStarted() override;
  void FolderRunEnded() override { end_ = search::RunStatus::Stage::FolderRunEnded; }
  // Named on standard error, once each, whatever the status settings.
  void FolderNotRead(std::string_view path, platform::ReadProblem problem) override;
  void VolumeBeingRead(std::string_view root, int percent) override;
  // Named on standard error, as a note (the status settings apply).
  void RootWalkedInstead(std::string_view root, search::WalkReason reason) override;

  // Ends the run's output: the status of its end, once.
  void Close();
  std::size_t Rows() const { return rows_; }
  bool WriteFailed() const { return write_failed_; }
  std::size_t FoldersNotRead() const { return not_read_.size(); }
  // Paths the output's code page cannot write, each named on standard error instead.
  std::size_t PathsNotPrinted() const { return not_printed_; }

 private:
  void Show(const search::RunStatus& status, bool final);
  void Status(const text::ShownText& text, bool final);
  // Blanks the progress line, so that a message starts a line of its own.
  void ClearProgress();

  const std::vector<std::string>& keywords_;
  Settings settings_;
  StreamText out_;
  StreamText err_;
  std::size_t rows_ = 0;
  std::optional<search::RunStatus::Stage> end_;
  std::chrono::steady_clock::time_point last_progress_{};
  std::size_t progress_width_ = 0;
  bool write_failed_ = false;
  std::size_t not_printed_ = 0;
  std::unordered_set<std::string> not_read_;
};

}  // namespace quellor::cli
