// The main window's controls as the commands see them, each over its HWND.
#pragma once

#include <windows.h>

#include "app/controls/win32_controls.h"
#include "ui/controls.h"

namespace quellor::app {

class WindowControls {
 public:
  // Every control must already exist as a child of `parent`.
  explicit WindowControls(HWND parent);
  WindowControls(const WindowControls&) = delete;
  WindowControls& operator=(const WindowControls&) = delete;

  ui::Controls& controls() { return controls_; }
  // The controls that answer the window's callbacks.
  Win32EditBox& names_box() { return 编辑框_文件名; }
  Win32ListBox& path_list() { return 列表框_路径; }
  Win32ListView& result_list() { return 超级列表框_结果; }
  // False when a control could not take its own messages.
  bool Subclassed() const;

 private:
#define QUELLOR_WIN32_CONTROL(kind, name, ...) QUELLOR_IF_COMMANDS_SEE_##kind(Win32##kind name;)
  QUELLOR_MAIN_WINDOW_CONTROLS(QUELLOR_WIN32_CONTROL)
#undef QUELLOR_WIN32_CONTROL
  ui::Controls controls_;
};

}  // namespace quellor::app
