#include "files/names_file.h"

#include <algorithm>
#include <cstdio>

#include "files/text_file_encoding.h"
#include "text/utf16.h"

namespace quellor::files {

namespace {

using platform::TextEncoding;

std::string EncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8:
      return "UTF-8";
    case TextEncoding::Utf16Le:
      return "UTF-16 LE";
    case TextEncoding::Utf16Be:
      return "UTF-16 BE";
    case TextEncoding::Ansi:
      break;
  }
  return platform::AnsiEncodingName();
}

bool IsBlank(std::u16string_view text) { return text.find_first_not_of(u" \u3000") == std::u16string_view::npos; }

std::string CodePointText(std::u16string_view character) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(text::CodePointOf(character)));
  return text;
}

// The first character of `text` that `to` cannot hold, as U+XXXX.
std::string FirstUnrepresentable(std::u16string_view text, TextEncoding to) {
  for (std::size_t i = 0; i < text.size(); i += text::CharacterUnits(text, i)) {
    const std::u16string_view character = text.substr(i, text::CharacterUnits(text, i));
    if (!platform::EncodeText(character, to)) return CodePointText(character);
  }
  return "a character";
}

// The code unit that ends a line, in the file's bytes: 1 byte, or 2 in UTF-16.
struct Unit {
  std::size_t size;
  std::string lf;
  std::string cr;
};

Unit UnitOf(TextEncoding encoding) {
  if (encoding == TextEncoding::Utf16Le) return {2, std::string("\n\0", 2), std::string("\r\0", 2)};
  if (encoding == TextEncoding::Utf16Be) return {2, std::string("\0\n", 2), std::string("\0\r", 2)};
  return {1, "\n", "\r"};
}

}  // namespace

NamesFile ReadNamesFile(std::string_view bytes) {
  NamesFile file;
  const TextFileEncoding detected = DetectTextFileEncoding(bytes, Unmarked::Utf8WhenValid, TextEncoding::Ansi);
  file.encoding = detected.encoding;
  file.byte_order_mark = detected.byte_order_mark;

  const Unit unit = UnitOf(file.encoding);
  const TextEncoding names_encoding = platform::NameEncoding();
  std::size_t line = 0;
  for (std::size_t start = 0; start < bytes.size();) {
    ++line;
    std::size_t end = start;
    while (end < bytes.size() && bytes.substr(end, unit.size) != unit.lf) end += unit.size;
    std::string_view piece = bytes.substr(start, std::min(end, bytes.size()) - start);
    start = end + unit.size;
    if (piece.size() >= unit.size && piece.substr(piece.size() - unit.size) == unit.cr) {
      piece.remove_suffix(unit.size);
    }
    NameLine name;
    name.line = line;
    name.original = piece;
    name.text = platform::DecodeText(piece, file.encoding);
    if (name.text && IsBlank(*name.text)) continue;
    if (!name.text) {
      name.problem = "it is not valid " + EncodingName(file.encoding) + " text";
    } else {
      name.searched = platform::EncodeText(*name.text, names_encoding);
      if (!name.searched) {
        name.problem = FirstUnrepresentable(*name.text, names_encoding) + " cannot be part of a file name here (" +
                       EncodingName(names_encoding) + ")";
      }
    }
    file.names.push_back(std::move(name));
  }
  return file;
}

std::string PrintableName(const NameLine& name) {
  if (name.searched) return *name.searched;
  if (!name.text) {
    std::string escaped;
    for (const char c : name.original) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte >= 0x20 && byte < 0x7F) {
        escaped += c;
      } else {
        char hex[8];
        std::snprintf(hex, sizeof hex, "<%02X>", byte);
        escaped += hex;
      }
    }
    return escaped;
  }
  const TextEncoding to = platform::NameEncoding();
  const std::u16string_view text = *name.text;
  std::string printable;
  for (std::size_t i = 0; i < text.size(); i += text::CharacterUnits(text, i)) {
    const std::u16string_view character = text.substr(i, text::CharacterUnits(text, i));
    const std::optional<std::string> bytes = platform::EncodeText(character, to);
    printable += bytes ? *bytes : "<" + CodePointText(character) + ">";
  }
  return printable;
}

std::string TextLikeNamesFile(const NamesFile& file, const std::vector<std::string>& original_lines) {
  if (original_lines.empty()) return {};
  const Unit unit = UnitOf(file.encoding);
  std::string text(file.byte_order_mark ? ByteOrderMark(file.encoding) : std::string_view());
  for (const std::string& line : original_lines) text += line + unit.cr + unit.lf;
  return text;
}

}  // namespace quellor::files
