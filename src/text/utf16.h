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

// Appends the UTF-8 of `count` UTF-16 code units. Called once per listed
// name: one resize, then a byte loop.
template <class Unit>
void AppendUtf8(std::string& out, const Unit* units, std::size_t count) {
  std::size_t at = out.size();
  out.resize(at + 3 * count);
  char* o = out.data();
  for (std::size_t i = 0; i < count; ++i) {
    const auto u = static_cast<std::uint32_t>(static_cast<std::uint16_t>(units[i]));
    if (u < 0x80) {
      o[at++] = static_cast<char>(u);
    } else if (u < 0x800) {
      o[at++] = static_cast<char>(0xC0 | (u >> 6));
      o[at++] = static_cast<char>(0x80 | (u & 0x3F));
    } else if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count &&
               static_cast<std::uint16_t>(units[i + 1]) >= 0xDC00 && static_cast<std::uint16_t>(units[i + 1]) <= 0xDFFF) {
      const std::uint32_t c = 0x10000 + ((u - 0xD800) << 10) + (static_cast<std::uint16_t>(units[++i]) - 0xDC00);
      o[at++] = static_cast<char>(0xF0 | (c >> 18));
      o[at++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      o[at++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      o[at++] = static_cast<char>(0x80 | (c & 0x3F));
    } else {
      o[at++] = static_cast<char>(0xE0 | (u >> 12));
      o[at++] = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      o[at++] = static_cast<char>(0x80 | (u & 0x3F));
    }
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
    if (c.code_point >= 0x10000) {
      out.push_back(static_cast<Unit>(0xD800 + ((c.code_point - 0x10000) >> 10)));
      out.push_back(static_cast<Unit>(0xDC00 + ((c.code_point - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<Unit>(c.code_point));
    }
    pos += c.length;
  }
  return true;
}

// How many UTF-16 code units `utf8` becomes (counted for valid text only).
std::size_t Utf16Length(std::string_view utf8);

}  // namespace quellor::text
