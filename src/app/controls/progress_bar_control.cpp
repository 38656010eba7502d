#include "app/controls/win32_controls.h"

#include <commctrl.h>

namespace quellor::app {

int Win32ProgressBar::Position() const { return static_cast<int>(SendMessageA(window_, PBM_GETPOS, 0, 0)); }
void Win32ProgressBar::SetPosition(int position) { SendMessageA(window_, PBM_SETPOS, position, 0); }
int Win32ProgressBar::Maximum() const { return static_cast<int>(SendMessageA(window_, PBM_GETRANGE, FALSE, 0)); }
void Win32ProgressBar::SetMaximum(int maximum) { SendMessageA(window_, PBM_SETRANGE32, 0, maximum); }

}  // namespace quellor::app
