// Child-window and menu-item identifiers of the main window. They start above
// IDOK and IDCANCEL, which the dialog keyboard interface sends for Enter and Esc.
#pragma once

#include "ui/control_table.h"

namespace quellor::app::ids {

// One per control, numbered in table order.
#define QUELLOR_CONTROL_ID(kind, name, ...) name,
enum : int { kBeforeFirstControl = 1000, QUELLOR_MAIN_WINDOW_CONTROLS(QUELLOR_CONTROL_ID) };
#undef QUELLOR_CONTROL_ID

// Menu 菜单 (over 列表框_路径).
constexpr int 菜单_删除当前路径 = 2001;
constexpr int 菜单_删除全部路径 = 2002;
// Menu 定位 (over 超级列表框_结果).
constexpr int 定位_打开文件所在位置 = 2101;
constexpr int 定位_批量勾选选定项目 = 2102;

}  // namespace quellor::app::ids
