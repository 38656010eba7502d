#include "platform/win32/wide_text_win32.h"

#include <climits>
#include <cwchar>

#include "text/utf16.h"

namespace quellor::platform::win32 {

std::optional<std::wstring> WideName(std::string_view utf8) {
  std::wstring wide;
  if (!text::AppendUtf16(wide, utf8)) return std::nullopt;
  return wide;
}

std::string Utf8Name(const wchar_t* text, std::size_t length) {
  std::string utf8;
  text::AppendUtf8(utf8, text, length);
  return utf8;
}

std::string Utf8Name(const wchar_t* zero_terminated) {
  return Utf8Name(zero_terminated, std::wcslen(zero_terminated));
}

std::wstring WideText(std::string_view ansi) {
  if (ansi.empty() || ansi.size() > INT_MAX) return {};
  const int size = static_cast<int>(ansi.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), length);
  return wide;
}

std::optional<std::string> AnsiText(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  if (wide.size() > INT_MAX / 4) return std::nullopt;
  const int size = static_cast<int>(wide.size());
  BOOL lossy = FALSE;
  const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, nullptr, &lossy);
  if (length <= 0 || lossy) return std::nullopt;
  std::string ansi(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, ansi.data(), length, nullptr, &lossy);
  if (lossy) return std::nullopt;
  return ansi;
}

}  // namespace quellor::platform::win32
