#include <windows.h>

#include <climits>
#include <string>

#include "platform/text_encoding.h"
#include "platform/text_encoding_units.h"

namespace quellor::platform {

namespace {
UINT CodePage(TextEncoding encoding) { return encoding == TextEncoding::Utf8 ? CP_UTF8 : CP_ACP; }
}  // namespace

TextEncoding NameEncoding() { return TextEncoding::Utf8; }

TextEncoding SystemTextEncoding() { return TextEncoding::Ansi; }

std::string AnsiEncodingName() { return "code page " + std::to_string(GetACP()); }

std::optional<std::u16string> DecodeMultiByte(std::string_view bytes, TextEncoding from) {
  if (bytes.empty()) return std::u16string();
  if (bytes.size() > INT_MAX) return std::nullopt;
  const int size = static_cast<int>(bytes.size());
  // MB_ERR_INVALID_CHARS: an invalid sequence fails instead of becoming U+FFFD or '?'.
  const int length = MultiByteToWideChar(CodePage(from), MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  if (MultiByteToWideChar(CodePage(from), MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length) != length) {
    return std::nullopt;
  }
  return std::u16string(wide.begin(), wide.end());
}

std::optional<std::string> EncodeMultiByte(std::u16string_view text, TextEncoding to) {
  if (text.empty()) return std::string();
  if (text.size() > INT_MAX / 4) return std::nullopt;
  const std::wstring wide(text.begin(), text.end());
  const int size = static_cast<int>(wide.size());
  // UTF-8 takes no default character; for the ANSI code page no best fit
  // ('a' for 'a' with a ring) and the default-character flag tells whether
  // any character was not representable.
  const UINT code_page = CodePage(to);
  const DWORD flags = to == TextEncoding::Utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL used_default = FALSE;
  BOOL* used_default_out = to == TextEncoding::Utf8 ? nullptr : &used_default;
  const int length = WideCharToMultiByte(code_page, flags, wide.data(), size, nullptr, 0, nullptr, used_default_out);
  if (length <= 0 || used_default) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(length), '\0');
  if (WideCharToMultiByte(code_page, flags, wide.data(), size, bytes.data(), length, nullptr, used_default_out) !=
          length ||
      used_default) {
    return std::nullopt;
  }
  return bytes;
}

}  // namespace quellor::platform
