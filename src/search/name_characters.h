// How a matcher steps through names one character at a time, and folds them,
// with tables built once so the per-name cost stays a few table look-ups.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "search/match_rules.h"

namespace quellor::search {

// Character lengths as the rules count them.
class CharacterStepper {
 public:
  CharacterStepper(const text::Charset& cs, bool utf8) : cs_(&cs), utf8_(utf8) {}
  std::size_t operator()(std::string_view s, std::size_t pos) const {
    return utf8_ ? Utf8SequenceLength(s, pos) : cs_->CharLength(s, pos);
  }
  // True when every byte is a character of its own in every text.
  bool EveryByteACharacter() const { return !utf8_ && !cs_->IsDoubleByte(); }
  // True when `byte` can only be a whole character (ASCII in every set we meet).
  bool IsAlwaysWhole(unsigned char byte) const { return byte < 0x80 && !cs_->IsLeadByte(byte); }
  // Sets starts[p] to 1 for every character start p of `s`, and starts[s.size()].
  void MarkStarts(std::string_view s, std::vector<std::uint8_t>& starts) const;
  // `characters` gets `s` cut into its characters (views into `s`).
  void Cut(std::string_view s, std::vector<std::string_view>& characters) const;

 private:
  const text::Charset* cs_;
  bool utf8_;
};

// Folds names with tables made once from a NameFolding.
class NameFolder {
 public:
  NameFolder(const text::Charset& cs, NameFolding fold);
  // `out` gets `name` folded (same length).
  void Fold(std::string_view name, std::string& out) const;

 private:
  void FoldUtf8(std::string_view name, std::string& out) const;

  const text::Charset* cs_;
  std::array<char, 256> single_{};
  // Indexed by lead * 256 + trail, for double-byte sets only.
  std::vector<std::array<char, 2>> pairs_;
  // Sets without byte pairs, when the folding changes a character beyond
  // ASCII: the folded form of every character of the basic plane (a table
  // made once per folding and shared); null when it changes none.
  const std::vector<char16_t>* plane_ = nullptr;
};

}  // namespace quellor::search
