// The DPI the window draws at. The manifest declares the program aware of
// each monitor's DPI where the system has that (Windows 10 1703 and later)
// and of the system's DPI elsewhere; on Windows 7 the functions that tell a
// window's own DPI do not exist, and the system's serves.
#pragma once

#include <windows.h>

namespace quellor::app {

// The DPI of the system's own fonts and metrics, the stock GUI font's among them.
int SystemDpi();

// The DPI of the monitor `window` is on where the system scales monitors
// apart, the system's otherwise.
int WindowDpi(HWND window);

}  // namespace quellor::app
