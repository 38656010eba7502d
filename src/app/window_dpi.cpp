#include "app/window_dpi.h"

#include "app/window_layout.h"
#include "platform/win32/bound_function_win32.h"

namespace quellor::app {

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return kLayoutDpi;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kLayoutDpi;
}

int WindowDpi(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  if (const auto dpi_for_window = QUELLOR_BOUND_IF_PRESENT(user32, GetDpiForWindow, GetDpiForWindowFunction)) {
    if (const UINT dpi = dpi_for_window(window); dpi != 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

}  // namespace quellor::app
