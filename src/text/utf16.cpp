#include "text/utf16.h"

namespace quellor::text {

Utf8Character DecodeUtf8At(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[pos + k]); };
  const unsigned char b = byte(0);
  std::size_t length = 0;
  char32_t c = 0;
  unsigned char low = 0x80;  // the range of the second byte, which rules out overlong forms
  unsigned char high = 0xBF;
  if (b < 0x80) return {b, 1};
  if (b >= 0xC2 && b <= 0xDF) {
    length = 2;
    c = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3;
    c = b & 0x0F;
    if (b == 0xE0) low = 0xA0;
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4;
    c = b & 0x07;
    if (b == 0xF0) low = 0x90;
    if (b == 0xF4) high = 0x8F;
  } else {
    return {0, 0};
  }
  if (pos + length > text.size()) return {0, 0};
  for (std::size_t k = 1; k < length; ++k) {
    const unsigned char next = byte(k);
    if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return {0, 0};
    c = (c << 6) | (next & 0x3F);
  }
  return {c, length};
}

bool HasUnpairedSurrogate(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsHighSurrogate(text[i])) {
      if (i + 1 == text.size() || !IsLowSurrogate(text[i + 1])) return true;
      ++i;
    } else if (IsLowSurrogate(text[i])) {
      return true;
    }
  }
  return false;
}

std::size_t Utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  for (const char ch : utf8) {
    const auto b = static_cast<unsigned char>(ch);
    if ((b & 0xC0) != 0x80) ++units;  // every sequence starts with one byte that is no continuation
    if (b >= 0xF0) ++units;           // a four-byte sequence is a surrogate pair
  }
  return units;
}

}  // namespace quellor::text
