// Copy, move and delete of one file or folder tree, and what lies at a path.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/path_kind.h"
#include "platform/tree_content.h"

namespace quellor::platform {

// The shell's operation codes.
enum class FileOperationKind { Move = 1, Copy = 2, Delete = 3 };

// Request flags, with the shell's values.
inline constexpr unsigned kFileOpRenameOnCollision = 0x08;
inline constexpr unsigned kFileOpNoConfirmation = 0x10;

struct FileOperationResult {
  bool succeeded = false;
  // The platform's own code (the shell's result, or errno); 0 on success.
  int code = 0;
  // The user cancelled the operation in one of the platform's dialogs.
  bool aborted = false;
};

// Which file a path leads to: two paths name the same file when their
// identities are equal (device and inode, or volume serial and file index).
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
  friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};

class FileOperations {
 public:
  virtual ~FileOperations() = default;

  // One copy, move or delete of `source` (a file, or a folder with all its
  // content). `destination` is either a folder ending in the separator, which
  // receives the item under its own name, or the full path of the new item;
  // a delete ignores it. An item already at the target is overwritten (a
  // folder is merged into); the rename flag is not relied upon: a caller that
  // wants a free name gives it as the full path.
  // A copy writes each file under a temporary name in the target's folder and
  // renames it over the target only when whole, so no part of a file ever
  // stands under its final name and a file there survives a failed overwrite;
  // it keeps the modification time, and a FIFO or device is never read. A
  // move across volumes is such a copy, and the source is removed only once
  // the target holds all of it. A delete is the system's own (on Windows the
  // shell's, with its messages).
  virtual FileOperationResult Run(FileOperationKind kind, const std::string& source, const std::string& destination,
                                  unsigned flags) = 0;

  // What the file or folder at `path` holds, as a copy reproduces it: links
  // are not followed into (POSIX copies a link as a link; Windows copies no
  // linked folder), FIFOs and devices are left out. nullopt when it is
  // missing, or it or a folder in it cannot be read.
  virtual std::optional<TreeContent> ContentOf(const std::string& path) const = 0;

  // What is at `path` itself (a link is not followed).
  virtual PathKind KindOf(const std::string& path) const = 0;

  // The file that `path` leads to, links followed; nullopt when none can be reached.
  virtual std::optional<FileIdentity> IdentityOf(const std::string& path) const = 0;

  // `path` with every link resolved; empty when it cannot be resolved.
  virtual std::string RealPath(const std::string& path) const = 0;

  // The separator of the paths this implementation takes.
  virtual char Separator() const = 0;
};

std::unique_ptr<FileOperations> MakeSystemFileOperations();

}  // namespace quellor::platform
