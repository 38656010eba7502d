#include "files/stored_text_encoding.h"

#include <optional>

#include "files/text_file_encoding.h"

namespace quellor::files {

using platform::TextEncoding;

namespace {

bool AsciiCompatible(TextEncoding encoding) { return encoding == TextEncoding::Utf8 || encoding == TextEncoding::Ansi; }

// ASCII text reads the same in every encoding that keeps ASCII as it is: the
// usual path of an exported list is not converted twice.
bool SameBytesIn(std::string_view text, TextEncoding encoding) {
  if (!AsciiCompatible(encoding) || !AsciiCompatible(platform::NameEncoding())) return false;
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

StoredEncoding StoredEncodingOf(std::string_view text, TextEncoding system) {
  if (system == platform::NameEncoding() || SameBytesIn(text, system)) return {system, false};
  const std::optional<std::u16string> wide = platform::DecodeName(text);
  if (!wide || platform::EncodeText(*wide, system)) return {system, false};
  return {TextEncoding::Utf8, true};
}

std::string StoredTextIn(std::string_view text, TextEncoding encoding) {
  if (encoding == platform::NameEncoding() || SameBytesIn(text, encoding)) return std::string(text);
  const std::optional<std::u16string> wide = platform::DecodeName(text);
  if (!wide) return std::string(text);
  return platform::EncodeText(*wide, encoding).value_or(std::string(text));
}

std::string StoredTextBytes(std::string_view text, TextEncoding system) {
  const StoredEncoding stored = StoredEncodingOf(text, system);
  std::string bytes(stored.byte_order_mark ? ByteOrderMark(stored.encoding) : std::string_view());
  return bytes + StoredTextIn(text, stored.encoding);
}

}  // namespace quellor::files
