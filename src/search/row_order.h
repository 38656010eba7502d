// The order the result list's header puts the rows in: by path, as people
// read paths (letters without regard to case, numbers by their value, a
// folder's own items before a sibling whose name goes on), either way; or
// back in the order they were found.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace quellor::search {

enum class RowOrder { Found, PathAscending, PathDescending };

struct RowKey {
  std::string_view path;
  std::uint32_t found = 0;  // ResultRows::FoundOrder
};

// The rows of `keys` (their indexes) in `order`. By path: ASCII letters
// without regard to case, a run of digits by its value (the fewer leading
// zeros first where the values are equal), a separator ('\' or '/') before
// any other character, every other byte by its value (UTF-8 then sorts by
// code point); paths equal but for letter case by their bytes, and equal
// paths in the order found. PathDescending is PathAscending reversed.
std::vector<int> OrderRows(const std::vector<RowKey>& keys, RowOrder order);

}  // namespace quellor::search
