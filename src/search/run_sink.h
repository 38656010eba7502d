// What a search run reports, in order: the window, quellor-find and the tests
// each take the reports through an implementation of their own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/folder_listing.h"
#include "platform/path_kind.h"
#include "search/run_status.h"

namespace quellor::search {

// A hit as the steps after a search take it: what was at its path when the
// search listed it lets them notice an item that changed kind since.
struct FoundRow {
  std::string path;
  platform::PathKind kind;
  platform::EntryFacts facts = {};  // what the listing told of the item, where it told it
};

class RunSink {
 public:
  virtual ~RunSink() = default;
  // A hit: its full path, what the listing showed there (a link not followed),
  // the index of the keyword that found it and what the listing told of the
  // item besides (its size and time, where the listing tells them).
  virtual void AddResultRow(std::string_view path, platform::PathKind kind, std::size_t keyword,
                            const platform::EntryFacts& facts) = 0;
  // Keywords 0 to count-1 have had their turn in one folder, one after another.
  virtual void KeywordsSearched(std::size_t count) = 0;
  // A file-name run ended: once after its last root, and where it sees a stop
  // request once for each folder it still had open.
  virtual void FileRunEnded() = 0;
  virtual void FolderRunStarted() = 0;
  // A folder-name run ended, once, whether it ran through or was stopped.
  virtual void FolderRunEnded() = 0;
  // A folder that could not be read, or whose path is too long to be read:
  // its files and subfolders are not searched.
  virtual void FolderNotRead(std::string_view /*path*/, platform::ReadProblem /*problem*/) {}
  // A folder is done: a good moment to pass batched reports on.
  virtual void FolderDone() {}
  // The table of files of `root`'s volume is being read, `percent` of it so far.
  virtual void VolumeBeingRead(std::string_view /*root*/, int /*percent*/) {}
  // `root` is walked folder by folder although its volume's index was wanted.
  virtual void RootWalkedInstead(std::string_view /*root*/, WalkReason /*reason*/) {}
};

// Passes every report on to `next`; a relay overrides only what it looks at,
// so a report added to RunSink reaches the end of every chain.
class ForwardingSink : public RunSink {
 public:
  explicit ForwardingSink(RunSink& next) : next_(next) {}
  void AddResultRow(std::string_view path, platform::PathKind kind, std::size_t keyword,
                    const platform::EntryFacts& facts) override {
    next_.AddResultRow(path, kind, keyword, facts);
  }
  void KeywordsSearched(std::size_t count) override { next_.KeywordsSearched(count); }
  void FileRunEnded() override { next_.FileRunEnded(); }
  void FolderRunStarted() override { next_.FolderRunStarted(); }
  void FolderRunEnded() override { next_.FolderRunEnded(); }
  void FolderNotRead(std::string_view path, platform::ReadProblem problem) override {
    next_.FolderNotRead(path, problem);
  }
  void FolderDone() override { next_.FolderDone(); }
  void VolumeBeingRead(std::string_view root, int percent) override { next_.VolumeBeingRead(root, percent); }
  void RootWalkedInstead(std::string_view root, WalkReason reason) override {
    next_.RootWalkedInstead(root, reason);
  }

 private:
  RunSink& next_;
};

}  // namespace quellor::search
