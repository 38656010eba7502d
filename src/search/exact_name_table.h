// Folded names looked up by a hash that is computed one byte at a time, so
// the whole name and every prefix before a dot cost one pass together.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quellor::search {

class ExactNameTable {
 public:
  static constexpr std::uint32_t kStart = 2166136261u;
  static std::uint32_t Step(std::uint32_t hash, unsigned char byte) { return (hash ^ byte) * 16777619u; }
  static std::uint32_t HashOf(std::string_view key);

  // Keys must be distinct.
  void Add(std::string_view key, std::uint32_t id);
  void Build();
  bool Empty() const { return ids_.empty(); }
  // The id of `key`, whose hash is `hash`; -1 when absent.
  std::int64_t Find(std::string_view key, std::uint32_t hash) const;

 private:
  struct Slot {
    std::uint32_t hash;
    std::uint32_t entry;  // index + 1; 0 marks an empty slot
  };
  std::string keys_;
  std::vector<std::uint32_t> key_at_, key_size_, ids_;
  std::vector<Slot> slots_;
  std::uint32_t mask_ = 0;
  int shift_ = 28;
  // Fibonacci hashing spreads the hash over the table's bits.
  std::uint32_t Slot0(std::uint32_t hash) const { return (hash * 2654435769u) >> shift_; }
};

}  // namespace quellor::search
