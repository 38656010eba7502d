#include "app/controls/win32_controls.h"

namespace quellor::app {

std::string Win32EditBox::Text() const { return WindowText(window_); }

void Win32EditBox::SetText(std::string_view text) { SetWindowTextBytes(window_, text); }

void Win32EditBox::Append(std::string_view text) {
  // The length in bytes is never less than in characters, and a position past the end means the end.
  const int end = GetWindowTextLengthA(window_);
  SendMessageA(window_, EM_SETSEL, end, end);
  SendMessageA(window_, EM_SCROLLCARET, 0, 0);
  const std::string terminated(text);
  SendMessageA(window_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(terminated.c_str()));
}

}  // namespace quellor::app
