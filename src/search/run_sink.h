// What a search run reports, in order: the window, quellor-find and the tests
// each take the reports through an implementation of their own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/folder_listing.h"
#include "platform/path_kind.h"

namespace quellor::search {

// A hit as the steps after a search take it: what was at its path when the
// search listed it lets them notice an item that changed kind since.
struct FoundRow {
  std::string path;
  platform::PathKind kind;
};

class RunSink {
 public:
  virtual ~RunSink() = default;
  // A hit: its full path, what the listing showed there (a link not followed)
  // and the index of the keyword that found it.
  virtual void AddResultRow(std::string_view path, platform::PathKind kind, std::size_t keyword) = 0;
  // Keywords 0 to count-1 were searched in one folder: one progress text for
  // each, the last one showing keyword count-1.
  virtual void ReportKeywordProgress(std::size_t count) = 0;
  // The finished text of a file-name search (written once per point where
  // the run ends or sees a stop request).
  virtual void ShowFilesFinished() = 0;
  // The start and finished texts of a folder-name search.
  virtual void ShowFolderRunStart() = 0;
  virtual void ShowFoldersFinished() = 0;
  // A folder that could not be read, or whose path is too long to be read:
  // its files and subfolders are not searched.
  virtual void FolderNotRead(std::string_view /*path*/, platform::ReadProblem /*problem*/) {}
  // A folder is done: a good moment to pass batched reports on.
  virtual void FolderDone() {}
};

// Passes every report on to `next`; a relay overrides only what it looks at,
// so a report added to RunSink reaches the end of every chain.
class ForwardingSink : public RunSink {
 public:
  explicit ForwardingSink(RunSink& next) : next_(next) {}
  void AddResultRow(std::string_view path, platform::PathKind kind, std::size_t keyword) override {
    next_.AddResultRow(path, kind, keyword);
  }
  void ReportKeywordProgress(std::size_t count) override { next_.ReportKeywordProgress(count); }
  void ShowFilesFinished() override { next_.ShowFilesFinished(); }
  void ShowFolderRunStart() override { next_.ShowFolderRunStart(); }
  void ShowFoldersFinished() override { next_.ShowFoldersFinished(); }
  void FolderNotRead(std::string_view path, platform::ReadProblem problem) override {
    next_.FolderNotRead(path, problem);
  }
  void FolderDone() override { next_.FolderDone(); }

 private:
  RunSink& next_;
};

}  // namespace quellor::search
