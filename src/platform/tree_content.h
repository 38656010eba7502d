// What a file or folder holds, as a copy must reproduce it, and how much of
// that another place holds: how a copy or a move is checked once it is done.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace quellor::platform {

class FileSystem;

struct TreeContent {
  // A file (under the path "") or every file and link below a folder, by its
  // path below the top as the folders hold the names (joined with the
  // platform's separator), with its size. Empty folders are not counted:
  // what a person misses is a file.
  std::map<std::string, std::uint64_t> files;
  bool folder = false;
  // Read where two names that differ only by letter case name one item: a
  // file replaced there may keep the letter case of the one it replaced.
  bool names_ignore_case = false;
};

// How much of `expected` a copy of it holds: a file counts when it is there
// with its size. A folder copy may hold more (a folder merged into).
struct ContentMatch {
  bool same_kind = false;
  std::size_t files = 0;
  std::size_t files_expected = 0;
  // The bytes of the expected files as the copy holds them.
  std::uint64_t bytes = 0;
  std::uint64_t bytes_expected = 0;
  bool Whole() const { return same_kind && files == files_expected; }
};

// Names are compared as the folders hold them. Where the copy's names ignore
// case, a file missing under its own name may be found under a name that
// differs from it only by case, as long as no expected file has that name:
// one file of the copy never stands for two of the original.
ContentMatch MatchContent(const TreeContent& expected, const TreeContent& copy);

// What the item at `path` holds, read through `system`; nullopt when it is
// missing, or it or a folder in it cannot be read. FIFOs and devices are
// left out: no copy reads them.
std::optional<TreeContent> ContentAt(const FileSystem& system, const std::string& path);

}  // namespace quellor::platform
