// The main window's controls as the commands see them, each over its HWND.
#pragma once

#include <windows.h>

#include "app/controls/win32_controls.h"
#include "platform/controls.h"

namespace quellor::app {

class WindowControls {
 public:
  // Every control must already exist as a child of `parent`.
  explicit WindowControls(HWND parent);
  WindowControls(const WindowControls&) = delete;
  WindowControls& operator=(const WindowControls&) = delete;

  platform::Controls& controls() { return controls_; }
  const Win32ListView& result_list() const { return 超级列表框1; }

 private:
  Win32Label 标签2;
  Win32Button 按钮_搜索路径;
  Win32CheckBox 选择框_搜索目录;
  Win32CheckBox 选择框2;
  Win32ListBox 列表框_路径;
  Win32EditBox 编辑框_文件名;
  Win32HintLabel 透明标签1;
  Win32CheckBox 单选框_整个电脑;
  Win32CheckBox 单选框_指定路径;
  Win32CheckBox 选择框1;
  Win32CheckBox 单选框_精确搜索;
  Win32CheckBox 单选框_模糊搜索;
  Win32Button 按钮_复制到剪贴板;
  Win32ListView 超级列表框1;
  Win32ProgressBar 进度条1;
  Win32Button 按钮_立即搜索;
  Win32Button 按钮_未搜索到文件;
  Win32Button 按钮_停止搜索;
  Win32Button 按钮1;
  Win32Button 按钮2;
  Win32Button 按钮3;
  Win32Button 按钮5;
  Win32Button 按钮4;
  Win32Label 标签_状态;
  platform::Controls controls_;
};

}  // namespace quellor::app
