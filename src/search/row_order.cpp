#include "search/row_order.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>

namespace quellor::search {

namespace {

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsSeparator(char c) { return c == '\\' || c == '/'; }

constexpr char FoldedLetter(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }

// Each path as a key whose plain byte order is the order by path, up to the
// final tie on letter case: a separator as 0, ASCII letters in lower
// case, a run of digits as '0', its count of digits without leading zeros
// (two bytes), those digits and the count of leading zeros; any other byte
// as it is. Comparing such keys costs a byte compare, where comparing the
// paths themselves a byte and a rule at a time took seconds for a million.
//
// Writes the key of `path` at `out` (when not null) and returns its size: the
// keys are counted first and written into one block, as appending a million
// keys a byte at a time cost more than sorting them.
std::size_t WriteKey(std::string_view path, char* out) {
  // Each byte as a key takes it; digits are marked apart.
  static constexpr auto kKeyByte = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(FoldedLetter(static_cast<char>(c)));
    table['\\'] = table['/'] = 0;
    return table;
  }();
  const auto* bytes = reinterpret_cast<const unsigned char*>(path.data());
  const std::size_t length = path.size();
  std::size_t size = 0;
  for (std::size_t i = 0; i < length;) {
    if (!IsDigit(static_cast<char>(bytes[i]))) {
      if (out != nullptr) out[size] = static_cast<char>(kKeyByte[bytes[i]]);
      ++size;
      ++i;
      continue;
    }
    const std::size_t start = i;
    while (i < length && bytes[i] == '0') ++i;
    const std::size_t digits = i;
    while (i < length && IsDigit(static_cast<char>(bytes[i]))) ++i;
    const std::size_t count = std::min<std::size_t>(i - digits, 0xFFFF), zeros = digits - start;
    if (out != nullptr) {
      out[size] = '0';
      out[size + 1] = static_cast<char>(count >> 8);
      out[size + 2] = static_cast<char>(count & 0xFF);
      std::copy_n(path.data() + digits, count, out + size + 3);
      out[size + 3 + count] = static_cast<char>(std::min<std::size_t>(zeros, 0xFF));
    }
    size += count + 4;
  }
  return size;
}

struct Keyed {
  std::uint64_t head;  // 8 bytes of the key from the depth its group is sorted at, big-endian
  std::uint32_t at;    // the key in the arena
  std::uint32_t size;
  int row;
};

// Sorts keys a group at a time, 8 bytes deeper each round (a most
// significant digit first sort): each round reads every key of the group
// once, where comparing whole keys would read two scattered keys per
// comparison. A key that ends inside the 8 bytes sorts before the longer ones
// with the same bytes, as byte order has it; keys equal to the end go by
// their path's bytes, then the order found.
class KeySorter {
 public:
  KeySorter(const char* arena, const std::vector<RowKey>& keys) : arena_(arena), keys_(keys) {}

  void Sort(std::vector<Keyed>& keyed, std::size_t depth) {
    std::vector<Group> groups{{0, keyed.size(), depth}};
    while (!groups.empty()) {
      const Group group = groups.back();
      groups.pop_back();
      const auto first = keyed.begin() + static_cast<std::ptrdiff_t>(group.begin);
      const auto last = keyed.begin() + static_cast<std::ptrdiff_t>(group.end);
      for (auto k = first; k != last; ++k) k->head = Head(*k, group.depth);
      const std::size_t window_end = group.depth + 8;
      const auto ends = [window_end](const Keyed& k) { return std::min<std::size_t>(k.size, window_end + 1); };
      std::sort(first, last, [&](const Keyed& x, const Keyed& y) {
        if (x.head != y.head) return x.head < y.head;
        return ends(x) < ends(y);
      });
      for (auto run = first; run != last;) {
        auto next = run + 1;
        while (next != last && next->head == run->head && ends(*next) == ends(*run)) ++next;
        if (next - run > 1) {
          if (ends(*run) <= window_end) {
            SortEqualKeys(run, next);
          } else {
            groups.push_back({static_cast<std::size_t>(run - keyed.begin()), static_cast<std::size_t>(next - keyed.begin()),
                              window_end});
          }
        }
        run = next;
      }
    }
  }

 private:
  struct Group {
    std::size_t begin, end, depth;
  };

  std::uint64_t Head(const Keyed& k, std::size_t depth) const {
    std::uint64_t head = 0;
    for (std::size_t b = 0; b < 8; ++b) {
      const std::size_t at = depth + b;
      head = head << 8 | (at < k.size ? static_cast<unsigned char>(arena_[k.at + at]) : 0u);
    }
    return head;
  }

  void SortEqualKeys(std::vector<Keyed>::iterator first, std::vector<Keyed>::iterator last) const {
    std::sort(first, last, [this](const Keyed& x, const Keyed& y) {
      if (const int by_path = keys_[x.row].path.compare(keys_[y.row].path); by_path != 0) return by_path < 0;
      return keys_[x.row].found < keys_[y.row].found;
    });
  }

  const char* arena_;
  const std::vector<RowKey>& keys_;
};

}  // namespace

std::vector<int> OrderRows(const std::vector<RowKey>& keys, RowOrder order) {
  std::vector<int> rows(keys.size());
  if (order == RowOrder::Found) {
    std::vector<std::pair<std::uint32_t, int>> found(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) found[i] = {keys[i].found, static_cast<int>(i)};
    std::sort(found.begin(), found.end());
    for (std::size_t i = 0; i < found.size(); ++i) rows[i] = found[i].second;
    return rows;
  }
  // The folders every path starts with order nothing: the keys start after
  // them, at a separator, where a key's encoding starts afresh.
  std::size_t shared = keys.empty() ? 0 : keys[0].path.size();
  for (const RowKey& key : keys) {
    const std::string_view first = keys[0].path.substr(0, std::min(shared, key.path.size()));
    shared = static_cast<std::size_t>(std::mismatch(first.begin(), first.end(), key.path.begin()).first - first.begin());
  }
  while (shared > 0 && !IsSeparator(keys[0].path[shared - 1])) --shared;

  std::vector<Keyed> keyed(keys.size());
  std::size_t arena_size = 0;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const std::size_t size = WriteKey(keys[i].path.substr(shared), nullptr);
    if (arena_size + size >= UINT32_MAX) throw std::bad_alloc();
    keyed[i] = Keyed{0, static_cast<std::uint32_t>(arena_size), static_cast<std::uint32_t>(size), static_cast<int>(i)};
    arena_size += size;
  }
  const std::unique_ptr<char[]> arena(new char[arena_size + 1]);
  for (std::size_t i = 0; i < keys.size(); ++i) WriteKey(keys[i].path.substr(shared), arena.get() + keyed[i].at);
  // Nor does what every key starts with: the first round starts after it.
  std::size_t common = keyed.empty() ? 0 : keyed[0].size;
  for (const Keyed& k : keyed) {
    common = std::min<std::size_t>(common, k.size);
    std::size_t same = 0;
    while (same < common && arena[keyed[0].at + same] == arena[k.at + same]) ++same;
    common = same;
  }
  KeySorter(arena.get(), keys).Sort(keyed, common);
  for (std::size_t i = 0; i < keyed.size(); ++i) rows[i] = keyed[i].row;
  if (order == RowOrder::PathDescending) std::reverse(rows.begin(), rows.end());
  return rows;
}

}  // namespace quellor::search
