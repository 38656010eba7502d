// UTF-8 and UTF-16 into each other, for names passing between the program
// (UTF-8 inside) and the system's wide calls. A lone surrogate, which NTFS
// allows in names, travels as its own three-byte sequence (as WTF-8 writes
// it), so every name the system gives makes the round trip unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quellor::text {

// A character of the basic plane is one UTF-16 code unit; any other is a
// surrogate pair, a high unit then a low one.
inline constexpr char32_t kBasicPlaneSize = 0x10000;
constexpr bool InBasicPlane(char32_t c) { return c < kBasicPlaneSize; }
constexpr bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
constexpr bool IsSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

constexpr char32_t CombineSurrogates(char32_t high, char32_t low) {
  return kBasicPlaneSize + ((high - 0xD800) << 10) + (low - 0xDC00);
}

struct SurrogatePair {
  char16_t high;
  char16_t low;
};
constexpr SurrogatePair SplitIntoSurrogates(char32_t c) {
  return {static_cast<char16_t>(0xD800 + ((c - kBasicPlaneSize) >> 10)),
          static_cast<char16_t>(0xDC00 + ((c - kBasicPlaneSize) & 0x3FF))};
}

// The code point of one character's code units: a pair, or a single unit.
constexpr char32_t CodePointOf(std::u16string_view character) {
  return character.size() == 2 ? CombineSurrogates(character[0], character[1]) : character[0];
}

// True when a high surrogate lacks its low one after it, or a low one its
// high one before it: such text is no valid UTF-16.
bool HasUnpairedSurrogate(std::u16string_view text);

// The code units of the character at `i`: 2 for a surrogate pair, else 1 (a
// lone surrogate is a character of its own).
constexpr std::size_t CharacterUnits(std::u16string_view text, std::size_t i) {
  return IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]) ? 2 : 1;
}

constexpr std::size_t Utf8Length(char32_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : InBasicPlane(c) ? 3 : 4; }

// Writes the UTF-8 of `c` at `out`, which has room for Utf8Length(c) bytes,
// and returns that length. A surrogate takes three bytes, as any other
// character of the basic plane.
constexpr std::size_t WriteUtf8(char32_t c, char* out) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (InBasicPlane(c)) {
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (c >> 18));
  out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

// Appends the UTF-8 of `count` UTF-16 code units. Called once per listed
// name: one resize, then a byte loop.
template <class Unit>
void AppendUtf8(std::string& out, const Unit* units, std::size_t count) {
  std::size_t at = out.size();
  out.resize(at + 3 * count);
  char* o = out.data();
  for (std::size_t i = 0; i < count; ++i) {
    const char32_t u = static_cast<std::uint16_t>(units[i]);
    if (u < 0x80) {
      o[at++] = static_cast<char>(u);
      continue;
    }
    char32_t c = u;
    if (IsHighSurrogate(u) && i + 1 < count && IsLowSurrogate(static_cast<std::uint16_t>(units[i + 1]))) {
      c = CombineSurrogates(u, static_cast<std::uint16_t>(units[++i]));
    }
    at += WriteUtf8(c, o + at);
  }
  out.resize(at);
}

// The code point of the UTF-8 sequence at `pos` and its length in bytes; a
// length of 0 when no complete, shortest-form sequence starts there. Encoded
// surrogates (three bytes from 0xED 0xA0) are taken, as AppendUtf8 writes them.
struct Utf8Character {
  char32_t code_point;
  std::size_t length;
};
Utf8Character DecodeUtf8At(std::string_view text, std::size_t pos);

// Appends the UTF-16 of `utf8`; false (and `out` as far as it got) when a
// byte starts no sequence: such text never reaches the system, since it could
// only be read there as some other name.
template <class Unit>
bool AppendUtf16(std::basic_string<Unit>& out, std::string_view utf8) {
  out.reserve(out.size() + utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[pos]);
    if (b < 0x80) {
      out.push_back(static_cast<Unit>(b));
      ++pos;
      continue;
    }
    const Utf8Character c = DecodeUtf8At(utf8, pos);
    if (c.length == 0) return false;
    if (InBasicPlane(c.code_point)) {
      out.push_back(static_cast<Unit>(c.code_point));
    } else {
      const SurrogatePair pair = SplitIntoSurrogates(c.code_point);
      out.push_back(static_cast<Unit>(pair.high));
      out.push_back(static_cast<Unit>(pair.low));
    }
    pos += c.length;
  }
  return true;
}

// How many UTF-16 code units `utf8` becomes (counted for valid text only).
std::size_t Utf16Length(std::string_view utf8);

}  // namespace quellor::text
