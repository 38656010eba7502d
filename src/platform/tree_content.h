// What a file or folder holds, as a copy must reproduce it, and how much of
// that another place holds: how a copy or a move is checked once it is done.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace quellor::platform {

struct TreeContent {
  // A file (under the path "") or every file below a folder, by its path
  // below the top (joined with the platform's separator), with its size.
  // Empty folders are not counted: what a person misses is a file.
  std::map<std::string, std::uint64_t> files;
  bool folder = false;
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

ContentMatch MatchContent(const TreeContent& expected, const TreeContent& copy);

}  // namespace quellor::platform
