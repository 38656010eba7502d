// Many literal byte strings found in one pass over a text (Aho-Corasick, as a
// full transition table over byte classes: one look-up per byte of text).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quellor::search {

class SubstringAutomaton {
 public:
  // Ids are the order of addition; strings must be distinct and not empty.
  std::uint32_t Add(std::string_view pattern);
  void Build();
  bool Empty() const { return patterns_ == 0; }
  std::uint32_t PatternSize(std::uint32_t id) const { return sizes_[id]; }

  // Calls found(id, end) for every occurrence, `end` one past its last byte.
  template <typename Found>
  void Scan(std::string_view text, Found&& found) const {
    std::uint32_t state = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      state = next_[state * classes_ + class_of_[static_cast<unsigned char>(text[i])]];
      if (!reports_[state]) continue;
      for (std::int32_t s = static_cast<std::int32_t>(state); s >= 0; s = dictionary_link_[s]) {
        if (own_[s] >= 0) found(static_cast<std::uint32_t>(own_[s]), i + 1);
      }
    }
  }

 private:
  std::vector<std::string> pending_;
  std::uint32_t patterns_ = 0;
  std::vector<std::uint32_t> sizes_;
  std::array<std::uint16_t, 256> class_of_{};
  std::uint32_t classes_ = 1;
  std::vector<std::uint32_t> next_;
  std::vector<std::int32_t> own_;
  std::vector<std::int32_t> dictionary_link_;
  std::vector<std::uint8_t> reports_;
};

}  // namespace quellor::search
