// Records what a run reports, and can raise the stop request at a chosen point.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

#include "search/run_sink.h"

namespace quellor::search::testing {

struct Recorded {
  std::vector<std::string> rows;
  std::vector<platform::PathKind> row_kinds;
  std::vector<std::size_t> row_keywords;
  std::size_t progress_reports = 0;
  std::size_t last_progress_keyword = 0;
  int files_finished = 0;
  int folders_started = 0;
  int folders_finished = 0;
  // Rows at the run's first end.
  std::size_t rows_at_first_finish = 0;
  bool operator==(const Recorded&) const = default;
};

class RecordingSink : public RunSink {
 public:
  RecordingSink(std::size_t keyword_count, std::atomic<bool>& stop) : keyword_count_(keyword_count), stop_(stop) {}

  void AddResultRow(std::string_view path, platform::PathKind kind, std::size_t keyword,
                    const platform::EntryFacts&) override {
    got.rows.emplace_back(path);
    got.row_kinds.push_back(kind);
    got.row_keywords.push_back(keyword);
    if (got.rows.size() == stop_after_rows) stop_ = true;
  }
  void KeywordsSearched(std::size_t count) override {
    got.progress_reports += count;
    if (count > 0) got.last_progress_keyword = count - 1;
    if (count == keyword_count_ && ++folders_ == stop_after_folders) stop_ = true;
  }
  void FileRunEnded() override { Finish(got.files_finished); }
  void FolderRunStarted() override { ++got.folders_started; }
  void FolderRunEnded() override { Finish(got.folders_finished); }

  Recorded got;
  std::size_t stop_after_rows = 0;
  std::size_t stop_after_folders = 0;

 private:
  void Finish(int& count) {
    if (got.files_finished + got.folders_finished == 0) got.rows_at_first_finish = got.rows.size();
    ++count;
  }
  std::size_t keyword_count_;
  std::size_t folders_ = 0;
  std::atomic<bool>& stop_;
};

}  // namespace quellor::search::testing
