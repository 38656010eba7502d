#include "app/controls/win32_controls.h"

namespace quellor::app {

std::string Win32Button::Caption() const { return WindowText(window_); }
void Win32Button::SetCaption(std::string_view caption) { SetWindowTextBytes(window_, caption); }
bool Win32Button::Enabled() const { return IsWindowEnabled(window_) != FALSE; }
void Win32Button::SetEnabled(bool enabled) { EnableWindow(window_, enabled ? TRUE : FALSE); }

}  // namespace quellor::app
