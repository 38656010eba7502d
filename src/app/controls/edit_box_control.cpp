#include "app/controls/win32_controls.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::app {

// A Unicode window: its text is names, any character that can be typed or pasted.
std::string Win32EditBox::Text() const { return WindowName(window_); }

void Win32EditBox::SetText(std::string_view text) { SetWindowName(window_, text); }

void Win32EditBox::Append(std::string_view text) {
  // A position past the end means the end.
  const int end = GetWindowTextLengthW(window_);
  SendMessageW(window_, EM_SETSEL, end, end);
  SendMessageW(window_, EM_SCROLLCARET, 0, 0);
  const std::wstring wide = platform::win32::WideName(text).value_or(std::wstring());
  SendMessageW(window_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
}

}  // namespace quellor::app
