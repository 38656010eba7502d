// The file system's calls on one item at a time: what the file operations
// (file_operations.h) build their rules on. Every call takes the name exactly
// as given (nothing stripped or normalised; on Windows the long "\\?\" form)
// and acts on the item itself: a link is never followed, and where the
// system would reach another item through the name, the call refuses.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/path_kind.h"

namespace quellor::platform {

// Which file a path leads to: two paths name the same file when their
// identities are equal (device and inode, or volume serial and file index).
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
  friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};

// What one look at an item showed.
struct ItemState {
  PathKind kind = PathKind::Missing;
  // A file's size (a link's own, where the system has one).
  std::uint64_t size = 0;
  // The modification time in the system's own units: compared, never shown.
  std::int64_t modified = 0;
  // Unknown: the system's error code.
  int error = 0;
};

// ItemState::modified's units: how many make a second, and the value at
// 1970-01-01 00:00:00 UTC.
#ifdef _WIN32
inline constexpr std::int64_t kModifiedUnitsPerSecond = 10000000;  // FILETIME: 100 ns steps since 1601
inline constexpr std::int64_t kModifiedAt1970 = 116444736000000000;
#else
inline constexpr std::int64_t kModifiedUnitsPerSecond = 1000000000;  // nanoseconds since 1970
inline constexpr std::int64_t kModifiedAt1970 = 0;
#endif

struct FolderItem {
  std::string name;
  ItemState state;
};

// What a call returns besides 0 (done) and the system's own error codes,
// which are positive: the answers the rules tell apart.
inline constexpr int kTargetTaken = -1;    // something is at the target already
inline constexpr int kOtherVolume = -2;    // a rename to another volume: the item must be copied there
inline constexpr int kNotTheItem = -3;     // the name leads to another item than the one looked at
inline constexpr int kLinkNotCopied = -4;  // this system makes no copy of a link

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // What is at `path` itself.
  virtual ItemState Look(const std::string& path) const = 0;
  // The items of `folder`, without "." and ".."; 0, or the code of the error
  // that kept the rest unread.
  virtual int List(const std::string& folder, std::vector<FolderItem>& items) const = 0;
  // The item `path` leads to, links followed; nullopt when none can be reached.
  virtual std::optional<FileIdentity> IdentityOf(const std::string& path) const = 0;
  // `path` with every link resolved, as the system spells it; empty when it
  // cannot be resolved.
  virtual std::string RealPath(const std::string& path) const = 0;

  // A new folder at `path`, where nothing is.
  virtual int CreateFolder(const std::string& path) = 0;
  // The content of the file `source` (as `found` saw it: kNotTheItem if it is
  // no longer a regular file), its modification time and its permission bits
  // or attributes, written under a temporary name beside `target` and kept on
  // the disk, then given the name `target`: over a file there only when
  // `replace`, else only where nothing is. No part of a file ever stands
  // under the target's name, and a file there survives a failed copy.
  // `copied`: the source as the copy read it (the bytes it took, its
  // modification time once they were read).
  virtual int CopyFile(const std::string& source, const ItemState& found, const std::string& target, bool replace,
                       ItemState& copied) = 0;
  // A link at `target` (where nothing is) that leads where the link `source` leads.
  virtual int CopyLink(const std::string& source, const std::string& target) = 0;
  // The item `source` (as `found` saw it) under the name `target`: over a
  // file there only when `replace`, else only where nothing is;
  // kOtherVolume when the target lies on another volume.
  virtual int Rename(const std::string& source, const ItemState& found, const std::string& target,
                     bool replace) = 0;
  // Removes the file, link or empty folder at `path` if it is still what `found` saw.
  virtual int Remove(const std::string& path, const ItemState& found) = 0;
  // The new folder `target` takes the modification time (and permission
  // bits) of `source`: last, as filling it changed its time.
  virtual int CopyFolderTimes(const std::string& source, const std::string& target) = 0;

  virtual char Separator() const = 0;
  // True where two names that differ only by letter case name one item.
  virtual bool NamesIgnoreCase() const = 0;
};

std::unique_ptr<FileSystem> MakeSystemFileSystem();

}  // namespace quellor::platform
