// Child-window and menu-item identifiers of the main window. They start above
// IDOK and IDCANCEL, which the dialog keyboard interface sends for Enter and Esc.
#pragma once

#include "ui/control_table.h"

namespace quellor::app::ids {

// One per control, numbered in table order.
#define QUELLOR_CONTROL_ID(kind, name, ...) name,
enum : int { kBeforeFirstControl = 1000, QUELLOR_MAIN_WINDOW_CONTROLS(QUELLOR_CONTROL_ID) };
#undef QUELLOR_CONTROL_ID

// The folder list's menu (opened over 列表框_路径).
constexpr int 路径菜单_删除当前路径 = 2001;
constexpr int 路径菜单_删除全部路径 = 2002;
// The result list's menu (opened over 超级列表框_结果).
constexpr int 结果菜单_打开文件所在位置 = 2101;
constexpr int 结果菜单_批量勾选选定项目 = 2102;
constexpr int 结果菜单_删除到回收站 = 2103;
constexpr int 结果菜单_撤销上次复制移动 = 2104;
constexpr int 结果菜单_导出结果列表 = 2105;
// What only a key starts: Ctrl+C and Shift+Delete in the result list.
constexpr int 结果键_复制选定路径 = 2201;
constexpr int 结果键_永久删除 = 2202;
// A click on the result list's column header, or the menu item that stands for it.
constexpr int 结果列标题_排序 = 2301;

}  // namespace quellor::app::ids
