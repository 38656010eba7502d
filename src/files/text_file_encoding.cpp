#include "files/text_file_encoding.h"

namespace quellor::files {

namespace {

using platform::TextEncoding;

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

bool HasHighByte(std::string_view bytes) {
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) > 0x7F) return true;
  }
  return false;
}

}  // namespace

std::string_view ByteOrderMark(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8:
      return kUtf8Mark;
    case TextEncoding::Utf16Le:
      return kUtf16LeMark;
    case TextEncoding::Utf16Be:
      return kUtf16BeMark;
    case TextEncoding::Ansi:
      break;
  }
  return {};
}

TextFileEncoding DetectTextFileEncoding(std::string_view& bytes, Unmarked unmarked, TextEncoding otherwise) {
  for (const TextEncoding marked : {TextEncoding::Utf8, TextEncoding::Utf16Le, TextEncoding::Utf16Be}) {
    const std::string_view mark = ByteOrderMark(marked);
    if (bytes.substr(0, mark.size()) == mark) {
      bytes.remove_prefix(mark.size());
      return {marked, true};
    }
  }
  if (unmarked == Unmarked::Utf8WhenValid && HasHighByte(bytes) && platform::DecodeText(bytes, TextEncoding::Utf8)) {
    return {TextEncoding::Utf8, false};
  }
  return {otherwise, false};
}

}  // namespace quellor::files
