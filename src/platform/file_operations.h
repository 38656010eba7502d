// Copy, move and removal of one item (a file, a link, or a folder with all it
// holds), with the rules that keep every file that was not asked for: decided
// here once for every platform, over the file system's own calls.
//
// - A link is never gone through: at the target, a link where an item is to
//   be written or merged into is a clash, at any depth; a found link is
//   copied or moved as the link itself (or refused where the system makes no
//   copy of a link); a removal never leaves the removed item's tree.
// - Every name reaches the system exactly as listed.
// - Names that differ only by case are two files: where the target takes
//   them for one, the item is refused rather than half placed.
// - Nothing that a command found is written over or into, at any depth.
// - A move across volumes removes from the source only what it copied and
//   saw whole (name, size, modification time); what appeared or changed
//   meanwhile stays, and a failed one removes what it created.
// - An item that is no longer of the kind that was found is left alone.
#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>

#include "platform/file_system.h"
#include "platform/item_outcome.h"
#include "platform/path_kind.h"
#include "platform/tree_content.h"

namespace quellor::platform {

class FileOperations {
 public:
  virtual ~FileOperations() = default;

  // Copies the item `source`, found as `found_as` (Unknown: any kind), to the
  // full path `target`. `found_items` (may be null): what no copy may write
  // over or into.
  virtual OperationResult Copy(const std::string& source, PathKind found_as, const std::string& target,
                               OnClash clash, const std::set<FileIdentity>* found_items) = 0;
  virtual OperationResult Move(const std::string& source, PathKind found_as, const std::string& target,
                               OnClash clash, const std::set<FileIdentity>* found_items) = 0;
  virtual OperationResult Remove(const std::string& path, PathKind found_as) = 0;

  // What is at `path` itself (a link is not followed).
  virtual PathKind KindOf(const std::string& path) const = 0;
  // The same look with the item's size and modification time.
  virtual ItemState StateOf(const std::string& path) const = 0;
  // The file that `path` leads to, links followed; nullopt when none can be reached.
  virtual std::optional<FileIdentity> IdentityOf(const std::string& path) const = 0;
  // What the item at `path` holds, as a copy reproduces it (names as the
  // folders hold them, links as links, FIFOs and devices left out); nullopt
  // when it is missing, or it or a folder in it cannot be read.
  virtual std::optional<TreeContent> ContentOf(const std::string& path) const = 0;
  // `path` with every link resolved; empty when it cannot be resolved.
  virtual std::string RealPath(const std::string& path) const = 0;
  // The separator of the paths this implementation takes.
  virtual char Separator() const = 0;
};

// The rules over `system`, which must outlive the result.
std::unique_ptr<FileOperations> MakeFileOperations(FileSystem& system);
// The rules over the system's own file calls.
std::unique_ptr<FileOperations> MakeSystemFileOperations();

}  // namespace quellor::platform
