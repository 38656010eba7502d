// What quellor-find does with its hits besides printing them: copy or move
// them into a folder, and write the report of the names that found nothing,
// the way the window's commands do.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_operations.h"
#include "search/match_rules.h"
#include "search/run_sink.h"

namespace quellor::cli {

// Keeps every hit's path, in order, when asked to, and passes every report on.
class RowRecorder : public search::RunSink {
 public:
  RowRecorder(search::RunSink& next, bool keep) : next_(next), keep_(keep) {}
  void AddResultRow(std::string_view path, std::size_t keyword) override {
    if (keep_) rows_.emplace_back(path);
    next_.AddResultRow(path, keyword);
  }
  void ReportKeywordProgress(std::size_t count) override { next_.ReportKeywordProgress(count); }
  void ShowFilesFinished() override { next_.ShowFilesFinished(); }
  void ShowFolderRunStart() override { next_.ShowFolderRunStart(); }
  void ShowFoldersFinished() override { next_.ShowFoldersFinished(); }
  void FolderDone() override { next_.FolderDone(); }
  void FolderNotRead(std::string_view path, platform::ReadProblem problem) override {
    next_.FolderNotRead(path, problem);
  }

  const std::vector<std::string>& Rows() const { return rows_; }

 private:
  search::RunSink& next_;
  bool keep_;
  std::vector<std::string> rows_;
};

struct TransferCount {
  std::size_t taken = 0;
  std::size_t failed = 0;
};

// Copies or moves every distinct path of `rows`, in the order of its first
// row, into `folder`; names each failed path on `err`.
TransferCount TransferHits(platform::FileOperations& files, const text::Charset& cs, platform::FileOperationKind kind,
                           const std::vector<std::string>& rows, const std::string& folder, bool rename_on_clash,
                           std::FILE* err);

// Writes the names that no row's name matches by `rules` to `path`, each
// followed by CR LF (0 bytes when every name was found). False when the file
// could not be written.
bool WriteNotFoundFile(const std::string& path, const search::MatchRules& rules, char separator,
                       const std::vector<std::string>& names, const std::vector<std::string>& rows);

}  // namespace quellor::cli
