// What the main window is made of: its attributes and one row per control, in
// creation order, made from the control table (ui/control_table.h). Lengths
// are pixels at 96 DPI; the window scales every one of them to its own DPI.
#pragma once

#include <windows.h>

#include <span>
#include <string_view>

#include "quellor_version.h"
#include "ui/control_table.h"

namespace quellor::app {

inline constexpr int kLayoutDpi = 96;
// The outer size, frame and title bar included.
inline constexpr int kWindowWidth = 859;
inline constexpr int kWindowHeight = 507;
// The character height of the small captions' font.
inline constexpr int kSmallFontHeight = 12;
inline constexpr int kResultColumnWidth = 600;
// How far right and down of the cursor a pop-up menu opens.
inline constexpr int kMenuOffset = 3;
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

// A length of the layout at `dpi`, rounded to the nearest pixel.
int ScaleToDpi(int length, int dpi);
// A control's place at `dpi`. Its edges are scaled, not its size, so
// controls that touch at 96 DPI touch at every DPI.
RECT ControlRect(const ControlLayout& layout, int dpi);
SIZE WindowSize(int dpi);

// The grey hint over the keyword box.
extern const char* const kHintText;

}  // namespace quellor::app
