#include "search/row_order.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <numeric>
#include <string>

namespace quellor::search {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char FoldedLetter(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }

// Each path as a key whose plain byte order is the order by path, up to the
// final tie on letter case: a separator as 0, ASCII letters in lower
// case, a run of digits as '0', its count of digits without leading zeros
// (two bytes), those digits and the count of leading zeros; any other byte
// as it is. Comparing such keys costs a byte compare, where comparing the
// paths themselves a byte and a rule at a time took seconds for a million.
void AppendKey(std::string_view path, std::string& keys) {
  for (std::size_t i = 0; i < path.size();) {
    const char c = path[i];
    if (!IsDigit(c)) {
      keys += IsSeparator(c) ? '\0' : FoldedLetter(c);
      ++i;
      continue;
    }
    const std::size_t start = i;
    while (i < path.size() && path[i] == '0') ++i;
    const std::size_t digits = i;
    while (i < path.size() && IsDigit(path[i])) ++i;
    const std::size_t count = i - digits, zeros = digits - start;
    keys += '0';
    keys += static_cast<char>(count >> 8);
    keys += static_cast<char>(count & 0xFF);
    keys.append(path, digits, count);
    keys += static_cast<char>(std::min<std::size_t>(zeros, 0xFF));
  }
}

struct Keyed {
  std::uint64_t head;  // the first bytes of the key past the common start, big-endian: most pairs differ here
  std::uint32_t at;    // the key in the arena
  std::uint32_t size;
  int row;
};

}  // namespace

std::vector<int> OrderRows(const std::vector<RowKey>& keys, RowOrder order) {
  std::vector<int> rows(keys.size());
  std::iota(rows.begin(), rows.end(), 0);
  if (order == RowOrder::Found) {
    std::sort(rows.begin(), rows.end(), [&](int x, int y) { return keys[x].found < keys[y].found; });
    return rows;
  }
  std::string arena;
  std::vector<Keyed> keyed(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const std::size_t at = arena.size();
    AppendKey(keys[i].path, arena);
    if (arena.size() >= UINT32_MAX) throw std::bad_alloc();
    keyed[i] = Keyed{0, static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(arena.size() - at), static_cast<int>(i)};
  }
  // What every key starts with tells no two apart: the heads start after it.
  std::size_t common = keyed.empty() ? 0 : keyed[0].size;
  for (const Keyed& k : keyed) {
    common = std::min<std::size_t>(common, k.size);
    std::size_t same = 0;
    while (same < common && arena[keyed[0].at + same] == arena[k.at + same]) ++same;
    common = same;
  }
  for (Keyed& k : keyed) {
    for (std::size_t b = 0; b < 8; ++b) {
      const std::size_t at = common + b;
      k.head = k.head << 8 | (at < k.size ? static_cast<unsigned char>(arena[k.at + at]) : 0u);
    }
  }
  const auto key = [&arena](const Keyed& k) { return std::string_view(arena).substr(k.at, k.size); };
  std::sort(keyed.begin(), keyed.end(), [&](const Keyed& x, const Keyed& y) {
    if (x.head != y.head) return x.head < y.head;
    if (const int by_key = key(x).compare(key(y)); by_key != 0) return by_key < 0;
    if (const int by_path = keys[x.row].path.compare(keys[y.row].path); by_path != 0) return by_path < 0;
    return keys[x.row].found < keys[y.row].found;
  });
  for (std::size_t i = 0; i < keyed.size(); ++i) rows[i] = keyed[i].row;
  if (order == RowOrder::PathDescending) std::reverse(rows.begin(), rows.end());
  return rows;
}

}  // namespace quellor::search
