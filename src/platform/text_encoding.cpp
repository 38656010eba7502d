#include "platform/text_encoding_units.h"

#include "text/utf16.h"

namespace quellor::platform {

std::u16string UnitsFromBytes(std::string_view bytes, bool big_endian) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    units[i] = static_cast<char16_t>(big_endian ? (first << 8 | second) : (second << 8 | first));
  }
  return units;
}

std::string BytesFromUnits(std::u16string_view units, bool big_endian) {
  std::string bytes;
  bytes.reserve(units.size() * 2);
  for (const char16_t unit : units) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? high : low;
    bytes += big_endian ? low : high;
  }
  return bytes;
}

namespace {
bool IsUtf16(TextEncoding encoding) { return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be; }
}  // namespace

std::optional<std::u16string> DecodeText(std::string_view bytes, TextEncoding from) {
  std::optional<std::u16string> units;
  if (IsUtf16(from)) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    units = UnitsFromBytes(bytes, from == TextEncoding::Utf16Be);
  } else {
    units = DecodeMultiByte(bytes, from);
  }
  if (!units || text::HasUnpairedSurrogate(*units)) return std::nullopt;
  return units;
}

std::optional<std::string> EncodeText(std::u16string_view text, TextEncoding to) {
  if (text::HasUnpairedSurrogate(text)) return std::nullopt;
  if (IsUtf16(to)) return BytesFromUnits(text, to == TextEncoding::Utf16Be);
  return EncodeMultiByte(text, to);
}

std::optional<std::u16string> DecodeName(std::string_view name) {
  if (NameEncoding() != TextEncoding::Utf8) return DecodeText(name, NameEncoding());
  std::u16string text;
  if (!text::AppendUtf16(text, name)) return std::nullopt;
  return text;
}

std::optional<std::string> EncodeName(std::u16string_view text) {
  if (NameEncoding() != TextEncoding::Utf8) return EncodeText(text, NameEncoding());
  std::string name;
  text::AppendUtf8(name, text.data(), text.size());
  return name;
}

}  // namespace quellor::platform
