#include "files/csv_text.h"

#include <optional>

#include "platform/system_charset.h"
#include "platform/text_encoding.h"
#include "text/utf16.h"

namespace quellor::files {

namespace {

using platform::TextEncoding;

void AppendByteAsHex(std::string& out, unsigned char byte) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  out += '<';
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0xF];
  out += '>';
}

// The common case, names already UTF-8, without a conversion.
void AppendCheckedUtf8(std::string& out, std::string_view name) {
  std::size_t plain_from = 0;
  for (std::size_t pos = 0; pos < name.size();) {
    if (static_cast<unsigned char>(name[pos]) < 0x80) {
      ++pos;
      continue;
    }
    const text::Utf8Character c = text::DecodeUtf8At(name, pos);
    if (c.length != 0 && !text::IsSurrogate(c.code_point)) {
      pos += c.length;
      continue;
    }
    out.append(name.substr(plain_from, pos - plain_from));
    AppendByteAsHex(out, static_cast<unsigned char>(name[pos]));
    plain_from = ++pos;
  }
  out.append(name.substr(plain_from));
}

std::optional<std::string> Utf8OfText(std::string_view bytes, TextEncoding from) {
  const std::optional<std::u16string> text = platform::DecodeText(bytes, from);
  return text ? platform::EncodeText(*text, TextEncoding::Utf8) : std::nullopt;
}

// Names in a double-byte code page: the whole at once, else character by character.
void AppendConvertedName(std::string& out, std::string_view name, TextEncoding from) {
  if (const std::optional<std::string> whole = Utf8OfText(name, from)) {
    out += *whole;
    return;
  }
  const text::Charset& charset = platform::NameCharset();
  for (std::size_t pos = 0; pos < name.size();) {
    const std::size_t length = charset.CharLength(name, pos);
    if (const std::optional<std::string> one = Utf8OfText(name.substr(pos, length), from)) {
      out += *one;
      pos += length;
    } else {
      AppendByteAsHex(out, static_cast<unsigned char>(name[pos]));
      ++pos;  // the byte alone: the one after it may start a character
    }
  }
}

// A plain loop: find_first_of looks each byte up in the set with a call of
// its own, the larger part of writing a million rows.
bool NeedsQuotes(std::string_view text) {
  for (const char c : text) {
    if (c == ',' || c == '"' || c == '\r' || c == '\n') return true;
  }
  return false;
}

}  // namespace

void AppendCsvField(std::string& out, std::string_view text) {
  if (!NeedsQuotes(text)) {
    out.append(text);
    return;
  }
  out += '"';
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

std::string CsvField(std::string_view text) {
  std::string field;
  AppendCsvField(field, text);
  return field;
}

void AppendUtf8OfName(std::string& out, std::string_view name) {
  const TextEncoding encoding = platform::NameEncoding();
  if (encoding == TextEncoding::Utf8) {
    AppendCheckedUtf8(out, name);
  } else {
    AppendConvertedName(out, name, encoding);
  }
}

std::string Utf8OfName(std::string_view name) {
  std::string utf8;
  AppendUtf8OfName(utf8, name);
  return utf8;
}

}  // namespace quellor::files
