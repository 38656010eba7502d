#include "app/controls/win32_controls.h"

namespace quellor::app {

std::string Win32Label::Caption() const { return WindowText(window_); }
// The label is a Unicode window: a keyword shows as typed beside the words.
void Win32Label::SetCaption(const text::ShownText& caption) { SetWindowTextW(window_, WideShownText(caption).c_str()); }

// The window's own style bit: the label counts as shown even while its parent is minimised.
bool Win32HintLabel::Visible() const { return (GetWindowLongA(window_, GWL_STYLE) & WS_VISIBLE) != 0; }
void Win32HintLabel::SetVisible(bool visible) { ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE); }

}  // namespace quellor::app
