// One folder's entries read in a single pass: how a search walk sees a folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/path_kind.h"

namespace quellor::platform {

// What a listing tells of an entry besides its name, where it tells it at no
// cost of its own: Windows' listing does, a POSIX one does not (it would take
// a look at each entry).
struct EntryFacts {
  bool known = false;
  std::uint64_t size = 0;     // a file's size; a folder's means nothing
  std::int64_t modified = 0;  // ItemState::modified, the system's units
};

struct FolderEntry {
  std::string_view name;
  // The short (8.3) alias where the file system keeps one that differs from
  // the name; empty otherwise.
  std::string_view alias;
  // The entry itself, a link not followed; Unknown where the system could not tell.
  PathKind kind = PathKind::Unknown;
  // A folder, or a link to one: never a file hit.
  bool is_folder = false;
  // A real folder that a walk may enter: not a link (Windows: no junction,
  // symbolic link or mount point; a cloud-file placeholder or other reparse
  // point that is the folder itself is entered), and (POSIX) on the same file
  // system as the walk's root.
  bool enterable = false;
  EntryFacts facts;
};

// Why a folder's entries could not be read.
enum class ReadProblem {
  None,
  Unreadable,  // access denied, an I/O error, gone since it was listed
  TooLong,     // its path is past the platform's path limit
};

// The entries of one folder, in the order the system returned them, without
// "." and "..". Reused from folder to folder so a walk allocates little.
class FolderListing {
 public:
  std::size_t size() const { return entries_.size(); }
  FolderEntry operator[](std::size_t i) const;
  void Clear();
  void Add(std::string_view name, std::string_view alias, PathKind kind, bool is_folder, bool enterable,
           const EntryFacts& facts = {});
  // Set by the reader when the folder could not be read; Clear resets it.
  void SetProblem(ReadProblem problem) { problem_ = problem; }
  ReadProblem Problem() const { return problem_; }

 private:
  struct Stored {
    std::uint32_t name_at, name_size, alias_at, alias_size;
    PathKind kind;
    bool is_folder, enterable;
    EntryFacts facts;
  };
  std::string bytes_;
  std::vector<Stored> entries_;
  ReadProblem problem_ = ReadProblem::None;
};

// Reads folders for one walk. The walk's root fixes the file system it stays on.
class FolderReader {
 public:
  explicit FolderReader(const std::string& root);
  ~FolderReader();
  FolderReader(const FolderReader&) = delete;
  FolderReader& operator=(const FolderReader&) = delete;
  // Fills `listing` with the entries of `folder`; false (and an empty listing)
  // when the folder cannot be read, is over the platform's path limit, or
  // (POSIX) lies on another file system than the root. The listing names the
  // problem of the first two; the last one is no problem, the walk stays on
  // its file system.
  bool Read(const std::string& folder, FolderListing& listing) const;

 private:
  struct OpenFolder {
    std::string path;
    int handle;
  };
  std::string root_;
  std::uint64_t root_device_ = 0;
  bool root_known_ = false;
  // POSIX: the folders on the path to the last one read, kept open so a
  // subfolder opens relative to its parent instead of through its full path.
  mutable std::vector<OpenFolder> open_;
};

// True when `path` names an existing folder (links to folders included).
bool IsExistingFolder(const std::string& path);

// True when the platform's calls take `path` whole: on Windows, where every
// call takes the long "\\?\" form, up to about 32,000 UTF-16 code units; on
// POSIX fewer than PATH_MAX bytes.
bool PathWithinLimit(std::string_view path);

#ifndef _WIN32
// The longest path, in bytes, that the platform's calls accept.
std::size_t MaxPathLength();
#endif

}  // namespace quellor::platform
