#include "cli/stream_text.h"

#include <optional>

#include "platform/command_line.h"
#include "platform/text_encoding.h"
#include "text/utf16.h"

namespace quellor::cli {

namespace {

using platform::TextEncoding;

bool IsAscii(std::string_view bytes) {
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) > 0x7F) return false;
  }
  return true;
}

// Names and words share one encoding (POSIX): nothing to convert.
bool OneEncoding() { return platform::NameEncoding() == platform::SystemTextEncoding(); }

std::string CodePointText(std::u16string_view character) {
  char text[16];
  std::snprintf(text, sizeof text, "<U+%04X>", static_cast<unsigned>(text::CodePointOf(character)));
  return text;
}

std::optional<std::string> InSystemText(std::string_view name) {
  if (OneEncoding() || IsAscii(name)) return std::string(name);
  const std::optional<std::u16string> wide = platform::DecodeName(name);
  if (!wide) return std::nullopt;
  return platform::EncodeText(*wide, platform::SystemTextEncoding());
}

// Names a POSIX system holds in bytes of no encoding go out as they are.
std::string Utf8Name(std::string_view name) {
  if (platform::NameEncoding() == TextEncoding::Utf8) return std::string(name);
  const std::optional<std::u16string> wide = platform::DecodeName(name);
  const std::optional<std::string> utf8 = wide ? platform::EncodeText(*wide, TextEncoding::Utf8) : std::nullopt;
  return utf8.value_or(std::string(name));
}

}  // namespace

std::string NameForMessage(std::string_view name) {
  if (std::optional<std::string> whole = InSystemText(name)) return *whole;
  const std::optional<std::u16string> wide = platform::DecodeName(name);
  if (!wide) return std::string(name);
  std::string text;
  for (std::size_t i = 0; i < wide->size();) {
    const std::u16string_view character = std::u16string_view(*wide).substr(i, text::CharacterUnits(*wide, i));
    const std::optional<std::string> bytes = platform::EncodeText(character, platform::SystemTextEncoding());
    text += bytes ? *bytes : CodePointText(character);
    i += character.size();
  }
  return text;
}

StreamText::StreamText(std::FILE* stream, bool names_as_utf8)
    : stream_(stream), console_(platform::IsWideConsole(stream)), names_as_utf8_(names_as_utf8) {}

std::string StreamText::NameBytes(std::string_view name) const {
  return names_as_utf8_ ? Utf8Name(name) : NameForMessage(name);
}

bool StreamText::WriteBytes(std::string_view bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), stream_) == bytes.size();
}

bool StreamText::Write(const text::ShownText& text) {
  if (console_) {
    std::u16string wide;
    bool whole = true;
    for (const text::ShownText::Piece& piece : text.Pieces()) {
      const std::optional<std::u16string> part = piece.kind == text::ShownText::Kind::Name
                                                     ? platform::DecodeName(piece.bytes)
                                                     : platform::DecodeText(piece.bytes, platform::SystemTextEncoding());
      whole = whole && part.has_value();
      if (part) wide += *part;
    }
    if (whole) return platform::WriteToConsole(stream_, wide);
  }
  bool written = true;
  for (const text::ShownText::Piece& piece : text.Pieces()) {
    written = WriteBytes(piece.kind == text::ShownText::Kind::Name ? NameBytes(piece.bytes) : piece.bytes) && written;
  }
  return written;
}

PathWritten StreamText::WritePath(std::string_view path, char end) {
  if (console_) {
    std::optional<std::u16string> wide = platform::DecodeName(path);
    if (wide) {
      wide->push_back(static_cast<char16_t>(static_cast<unsigned char>(end)));
      return platform::WriteToConsole(stream_, *wide) ? PathWritten::Written : PathWritten::Failed;
    }
  }
  // Most paths go out as they are, without a copy: a row is written per hit.
  const bool as_they_are = names_as_utf8_ ? platform::NameEncoding() == TextEncoding::Utf8 : OneEncoding() || IsAscii(path);
  std::optional<std::string> converted;
  if (!as_they_are) {
    converted = names_as_utf8_ ? Utf8Name(path) : InSystemText(path);
    if (!converted) return PathWritten::NotInCodePage;
    path = *converted;
  }
  const bool written = WriteBytes(path) && std::fputc(end, stream_) != EOF;
  return written ? PathWritten::Written : PathWritten::Failed;
}

bool WriteText(std::FILE* stream, const text::ShownText& text) {
  StreamText out(stream);
  return out.Write(text) && std::fflush(stream) == 0;
}

}  // namespace quellor::cli
