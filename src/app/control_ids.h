// Child-window and menu-item identifiers of the main window. They start above
// IDOK and IDCANCEL, which the dialog keyboard interface sends for Enter and Esc.
#pragma once

namespace quellor::app::ids {

constexpr int 标签2 = 1001;
constexpr int 按钮_搜索路径 = 1002;
constexpr int 选择框_搜索目录 = 1003;
constexpr int 选择框2 = 1004;
constexpr int 列表框_路径 = 1005;
constexpr int 编辑框_文件名 = 1006;
constexpr int 透明标签1 = 1007;
constexpr int 外形框1 = 1008;
constexpr int 单选框_整个电脑 = 1009;
constexpr int 单选框_指定路径 = 1010;
constexpr int 选择框1 = 1011;
constexpr int 外形框2 = 1012;
constexpr int 单选框_精确搜索 = 1013;
constexpr int 单选框_模糊搜索 = 1014;
constexpr int 按钮_复制到剪贴板 = 1015;
constexpr int 超级列表框1 = 1016;
constexpr int 进度条1 = 1017;
constexpr int 按钮_立即搜索 = 1018;
constexpr int 按钮_未搜索到文件 = 1019;
constexpr int 按钮_停止搜索 = 1020;
constexpr int 按钮1 = 1021;
constexpr int 按钮2 = 1022;
constexpr int 按钮3 = 1023;
constexpr int 按钮5 = 1024;
constexpr int 按钮4 = 1025;
constexpr int 标签_状态 = 1026;

// Menu 菜单 (over 列表框_路径).
constexpr int 菜单_删除当前路径 = 2001;
constexpr int 菜单_删除全部路径 = 2002;
// Menu 定位 (over 超级列表框1).
constexpr int 定位_打开文件所在位置 = 2101;
constexpr int 定位_批量勾选选定项目 = 2102;

}  // namespace quellor::app::ids
