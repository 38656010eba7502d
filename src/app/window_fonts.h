// The fonts of the main window's controls at one DPI: the table's small
// 12-pixel font, and the system's GUI font (the stock font itself at the
// system's DPI, a copy scaled to the window's DPI on a monitor of another).
#pragma once

#include <windows.h>

#include "app/window_layout.h"

namespace quellor::app {

class WindowFonts {
 public:
  explicit WindowFonts(int dpi);
  ~WindowFonts();
  WindowFonts(const WindowFonts&) = delete;
  WindowFonts& operator=(const WindowFonts&) = delete;

  // Never null: a font that could not be made falls back to the stock GUI font.
  HFONT Get(ControlFont font) const;

 private:
  HFONT small_ = nullptr;
  HFONT scaled_default_ = nullptr;
};

}  // namespace quellor::app
