// What the main window is made of: its attributes and one row per control, in
// creation order, made from the control table (platform/control_table.h).
#pragma once

#include <windows.h>

#include <span>
#include <string_view>

#include "quellor_version.h"
#include "ui/control_table.h"

namespace quellor::app {

inline constexpr int kWindowWidth = 859;
inline constexpr int kWindowHeight = 507;
inline constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
inline constexpr std::string_view kWindowCaption = "QuellorV" QUELLOR_VERSION " Quellor工作室出品 批量找文件";
inline constexpr const char* kWindowClass = "QuellorMainWindow";
inline constexpr const char* kFrameClass = "QuellorFrame";

enum class ControlFont { WindowDefault, Small };

struct ControlLayout {
  int id;
  const char* class_name;
  int left, top, width, height;
  const char* caption;
  DWORD style;  // besides WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS
  DWORD ex_style;
  ControlFont font;
  ui::ControlStart start;
};

std::span<const ControlLayout> MainWindowControls();

// The grey hint over the keyword box.
extern const char* const kHintText;

}  // namespace quellor::app
