#include "commands/stored_list.h"

#include <algorithm>
#include <optional>

#include "files/stored_text_encoding.h"
#include "files/text_file_encoding.h"
#include "platform/system_charset.h"
#include "platform/text_encoding.h"
#include "platform/text_encoding_units.h"
#include "text/utf16.h"

namespace quellor::commands {

namespace {

using platform::TextEncoding;

bool IsUtf16(TextEncoding encoding) { return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be; }

// `bytes` as UTF-16, one character at a time where the whole does not decode:
// what cannot be read becomes U+FFFD, the rest is kept.
std::u16string DecodeLeniently(std::string_view bytes, TextEncoding from) {
  if (IsUtf16(from)) return platform::UnitsFromBytes(bytes, from == TextEncoding::Utf16Be);
  if (std::optional<std::u16string> whole = platform::DecodeText(bytes, from)) return *whole;
  std::u16string text;
  for (std::size_t pos = 0; pos < bytes.size();) {
    std::size_t length = 1;
    if (from == TextEncoding::Utf8) {
      length = std::max<std::size_t>(text::DecodeUtf8At(bytes, pos).length, 1);
    } else {
      length = platform::SystemCharset().CharLength(bytes, pos);
    }
    const std::optional<std::u16string> one = platform::DecodeText(bytes.substr(pos, length), from);
    if (one) {
      text += *one;
      pos += length;
    } else {
      text += u'\uFFFD';  // the byte alone: the one after it may start a character
      ++pos;
    }
  }
  return text;
}

}  // namespace

std::string ReadStoredText(std::string_view bytes) {
  const files::TextFileEncoding file =
      files::DetectTextFileEncoding(bytes, files::Unmarked::AsGiven, platform::SystemTextEncoding());
  // Already the names' own: the bytes as they are, as always; a marked file
  // (written by someone else than this program, perhaps) only when it is valid.
  if (file.encoding == platform::NameEncoding() && (!file.byte_order_mark || platform::DecodeName(bytes))) {
    return std::string(bytes);
  }
  std::u16string text = DecodeLeniently(bytes, file.encoding);
  if (std::optional<std::string> name = platform::EncodeName(text)) return *name;
  return std::string(bytes);
}

std::string StoredTextBytes(std::string_view text) {
  return files::StoredTextBytes(text, platform::SystemTextEncoding());
}

}  // namespace quellor::commands
