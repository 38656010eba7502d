#include "app/controls/win32_controls.h"

namespace quellor::app {

std::string Win32Label::Caption() const { return WindowText(window_); }
// The label is a Unicode window: a keyword shows as typed beside the words.
void Win32Label::SetCaption(const text::ShownText& caption) { SetWindowTextW(window_, WideShownText(caption).c_str()); }

}  // namespace quellor::app
