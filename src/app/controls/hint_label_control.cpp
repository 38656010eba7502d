#include "app/controls/win32_controls.h"

namespace quellor::app {

namespace {

constexpr UINT_PTR kSubclassId = 0x5158;  // any value: the procedure tells our subclass apart

}  // namespace

Win32HintLabel::Win32HintLabel(HWND window)
    : window_(window),
      subclassed_(SetWindowSubclass(window_, &Win32HintLabel::SubclassProc, kSubclassId, 0) != FALSE) {}

Win32HintLabel::~Win32HintLabel() {
  if (IsWindow(window_)) RemoveWindowSubclass(window_, &Win32HintLabel::SubclassProc, kSubclassId);
}

// The window's own style bit: the label counts as shown even while its parent is minimised.
bool Win32HintLabel::Visible() const { return (GetWindowLongA(window_, GWL_STYLE) & WS_VISIBLE) != 0; }
void Win32HintLabel::SetVisible(bool visible) { ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE); }

LRESULT CALLBACK Win32HintLabel::SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                              DWORD_PTR) {
  switch (message) {
    case WM_LBUTTONDOWN:
      ShowWindow(window, SW_HIDE);
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, &Win32HintLabel::SubclassProc, kSubclassId);
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace quellor::app
