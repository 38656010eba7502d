#include "app/controls/win32_controls.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::app {

std::string WindowText(HWND window) {
  // The length may be an overestimate (it can count in a wider form); the copy says what it got.
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

void SetWindowTextBytes(HWND window, std::string_view text) {
  const std::string terminated(text);
  SetWindowTextA(window, terminated.c_str());
}

std::string WindowName(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), length + 1);
  return platform::win32::Utf8Name(text.data(), got > 0 ? static_cast<std::size_t>(got) : 0);
}

std::wstring WideShownText(const text::ShownText& text) {
  std::wstring wide;
  for (const text::ShownText::Piece& piece : text.Pieces()) {
    wide += piece.kind == text::ShownText::Kind::Name ? platform::win32::WideName(piece.bytes).value_or(L"\uFFFD")
                                                       : platform::win32::WideText(piece.bytes);
  }
  return wide;
}

}  // namespace quellor::app
