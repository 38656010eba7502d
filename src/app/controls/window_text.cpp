#include "app/controls/win32_controls.h"

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

}  // namespace quellor::app
