// The character set of byte-string texts: which bytes open a two-byte character.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace quellor::text {

class Charset {
 public:
  // GBK (code page 936): lead bytes 0x81-0xFE, each followed by one trail byte.
  static Charset Gbk();
  // UTF-8 and single-byte code pages: no byte pairs to respect; every byte
  // starts a character as far as our scans are concerned.
  static Charset Utf8();
  // A double-byte code page described by its lead bytes and its full-width space.
  static Charset FromLeadBytes(const std::array<bool, 256>& lead_bytes, std::string full_width_space);

  bool IsLeadByte(unsigned char byte) const { return lead_bytes_[byte]; }
  bool IsDoubleByte() const { return double_byte_; }
  // Bytes of the character that starts at `pos` (1 or 2). A lead byte at the
  // very end of the text is a character of its own.
  std::size_t CharLength(std::string_view text, std::size_t pos) const {
    return (lead_bytes_[static_cast<unsigned char>(text[pos])] && pos + 1 < text.size()) ? 2 : 1;
  }
  // The ideographic (full-width) space in this set; empty if it has none.
  std::string_view FullWidthSpace() const { return full_width_space_; }

 private:
  Charset() = default;
  std::array<bool, 256> lead_bytes_{};
  bool double_byte_ = false;
  std::string full_width_space_;
};

}  // namespace quellor::text
