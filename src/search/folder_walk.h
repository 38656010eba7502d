// The folder walk of a search: which folders are read, and in which order.
//
// How it works: depth-first pre-order from a root, subfolders in listing
// order, with an explicit stack so deep trees cost heap, not stack. Folders
// that are links (or on another file system) are passed over, never entered.
// The walk reads the folders on its own path; subtrees it will enter later go
// to SubtreeReaders, and their listings come back in the same order, so what
// the visitor sees never depends on the readers. Between folders the walk
// looks at the stop request; a stop seen there ends the walk.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/folder_listing.h"
#include "search/folder_source.h"
#include "search/subtree_readers.h"

namespace quellor::search {

// What a walk reports, in order.
class FolderVisitor {
 public:
  virtual ~FolderVisitor() = default;
  // A folder reached, with its entries (none when it cannot be read). False
  // when a stop request ended it: its subfolders are not entered.
  virtual bool Enter(const std::string& path, const platform::FolderListing& listing) = 0;
  // Every folder below `path` has been walked.
  virtual void Leave(std::string path) = 0;
  // A subfolder that is not entered (a link), at its place in the order, with
  // the kind its listing gave.
  virtual void PassOver(const std::string& parent, std::string_view name, platform::PathKind kind) = 0;
  virtual bool StopRequested() const = 0;
  // A stop was seen between folders while `open_folders` folders were still
  // being walked; the walk ends.
  virtual void Stopped(std::size_t open_folders) = 0;
};

class FolderWalk {
 public:
  using JoinPath = SubtreeReaders::JoinPath;

  // Folders are read through `open` (the file system's unless a test gives another).
  FolderWalk(JoinPath join, const ReaderLimits& limits, OpenFolders open = FileSystemFolders())
      : join_(std::move(join)), limits_(limits), open_(std::move(open)) {}
  // Walks `root` (an empty or missing root reads as an empty folder).
  void Walk(const std::string& root, FolderVisitor& visitor);

 private:
  JoinPath join_;
  ReaderLimits limits_;
  OpenFolders open_;
};

}  // namespace quellor::search
