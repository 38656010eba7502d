// The main window's controls, one row each, in creation order. Everything that
// lists the controls is made from this table: the window and its layout
// (app/window_layout.cpp), the ids (app/control_ids.h), the Controls structure
// (ui/controls.h), the window's and the in-memory controls with their
// start states. Adding a control is one row here.
//
// Creation order is also the stacking order, first on top: the hint label lies
// over the keyword box, 选择框_同名自动改名 over the search-area radio buttons,
// 按钮_复制到剪贴板 over the matching-mode ones, and the two frames under all.
// It is the tab order as well. A screen reader names a box or list after the
// static text created just before it, so each of the three lies right after a
// hidden label (隐藏标签_…) that says what it holds, at its own place; the
// lists, the progress bar and the frames carry their name as a caption too,
// which they never draw, for readers that take a control's own text.
//
// Columns: kind (the interface commands see it through; Frame and NameLabel
// have none), name,
// window class, left, top, width, height (client coordinates), caption, style
// (besides WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS), extended style, font, and
// start state (Normal, Checked, Disabled or Hidden). Places are pixels at 96
// DPI, which the window scales to its own. Class, place, style and font are
// read by the window only, which defines kLabel, kPushButton and the others.
#pragma once

// clang-format off
#define QUELLOR_MAIN_WINDOW_CONTROLS(X) \
  X(Label, 标签_搜索路径, "Static", 6, 5, 51, 25, "搜索路径", kLabel, 0, Small, Normal) \
  X(Button, 按钮_搜索路径, "Button", 55, 4, 85, 25, "添加搜索路径", kPushButton, 0, Small, Normal) \
  X(CheckBox, 选择框_搜索目录, "Button", 141, 10, 85, 16, "只搜目录名", kCheckBox, 0, Small, Normal) \
  X(CheckBox, 选择框_保存关键字, "Button", 222, 10, 82, 16, "保存关键字", kCheckBox, 0, Small, Checked) \
  X(NameLabel, 隐藏标签_路径列表, "Static", 5, 35, 299, 59, "搜索路径列表", kNameLabel, 0, WindowDefault, Hidden) \
  X(ListBox, 列表框_路径, "ListBox", 5, 35, 299, 59, "搜索路径列表", \
    LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE, WindowDefault, Normal) \
  /* Takes the mouse (SS_NOTIFY) so that a press on it reaches it rather than the box below. */ \
  X(HintLabel, 透明标签_提示, "Static", 11, 103, 269, 297, kHintText, SS_LEFT | SS_NOTIFY | WS_GROUP, 0, \
    WindowDefault, Normal) \
  X(NameLabel, 隐藏标签_文件名, "Static", 6, 97, 298, 319, "要搜索的文件名(一行一个)", kNameLabel, 0, WindowDefault, \
    Hidden) \
  X(EditBox, 编辑框_文件名, "Edit", 6, 97, 298, 319, "", \
    ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | WS_GROUP, \
    WS_EX_CLIENTEDGE, WindowDefault, Normal) \
  X(CheckBox, 选择框_同名自动改名, "Button", 599, 11, 240, 16, "复制或移动时遇到同名文件自动改名另存", kCheckBox, 0, \
    Small, Normal) \
  X(CheckBox, 单选框_整个电脑, "Button", 308, 7, 160, 24, "搜索整个电脑(速度稍慢)", kFirstRadio, 0, Small, Normal) \
  X(CheckBox, 单选框_指定路径, "Button", 471, 7, 145, 24, "搜索指定路径(快速)", kNextRadio, 0, Small, Checked) \
  X(Button, 按钮_复制到剪贴板, "Button", 677, 43, 170, 24, "复制选定文件到剪贴板", kPushButton, 0, Small, Normal) \
  X(CheckBox, 单选框_精确搜索, "Button", 311, 49, 487, 16, "精确搜索(要搜索的文件名需要填写完整准确，一行一个文件名)", \
    kFirstRadio, 0, Small, Checked) \
  X(CheckBox, 单选框_模糊搜索, "Button", 311, 68, 526, 16, \
    "模糊搜索(只填写文件名的任意关键字，即可搜索出所有包含这关键字的文件，一行一个关键字)", kNextRadio, 0, Small, Normal) \
  X(NameLabel, 隐藏标签_结果列表, "Static", 306, 98, 541, 302, "搜索结果", kNameLabel, 0, WindowDefault, Hidden) \
  X(ListView, 超级列表框_结果, WC_LISTVIEWA, 306, 98, 541, 302, "搜索结果", LVS_REPORT | LVS_OWNERDATA | WS_TABSTOP | WS_GROUP, \
    WS_EX_CLIENTEDGE, WindowDefault, Normal) \
  X(ProgressBar, 进度条_文件操作, PROGRESS_CLASSA, 283, 400, 564, 16, "文件操作进度", WS_GROUP, 0, WindowDefault, Normal) \
  X(Button, 按钮_立即搜索, "Button", 6, 424, 66, 30, "立即搜索", kPushButton, 0, Small, Normal) \
  X(Button, 按钮_未搜索到文件, "Button", 76, 424, 110, 30, "未搜到的文件列表", kPushButton, 0, Small, Disabled) \
  X(Button, 按钮_停止搜索, "Button", 189, 424, 81, 30, "停止搜索", kPushButton, 0, Small, Normal) \
  X(Button, 按钮_全部勾选, "Button", 312, 424, 64, 32, "全部勾选", kPushButton, 0, Small, Normal) \
  X(Button, 按钮_取消全部勾选, "Button", 392, 424, 84, 32, "取消全部勾选", kPushButton, 0, Small, Normal) \
  X(Button, 按钮_复制选定文件, "Button", 492, 424, 82, 32, "复制选定文件", kPushButton, 0, Small, Normal) \
  X(Button, 按钮_移动选定文件, "Button", 590, 424, 80, 32, "移动选定文件", kPushButton, 0, Small, Normal) \
  X(Button, 按钮_删除选定文件, "Button", 686, 424, 85, 32, "删除选定文件", kPushButton, 0, Small, Normal) \
  X(Label, 标签_状态, "Static", 8, 456, 424, 16, "", SS_LEFTNOWORDWRAP | WS_GROUP, 0, WindowDefault, Normal) \
  X(Frame, 外形框_搜索范围, kFrameClass, 305, 2, 544, 32, "搜索范围", WS_GROUP, 0, WindowDefault, Normal) \
  X(Frame, 外形框_匹配方式, kFrameClass, 305, 41, 544, 48, "匹配方式", WS_GROUP, 0, WindowDefault, Normal)
// clang-format on

// QUELLOR_IF_COMMANDS_SEE_<kind>(...) keeps its arguments for every kind the
// commands reach through an interface, and drops them for a frame and a hidden label.
#define QUELLOR_IF_COMMANDS_SEE_Label(...) __VA_ARGS__
#define QUELLOR_IF_COMMANDS_SEE_Button(...) __VA_ARGS__
#define QUELLOR_IF_COMMANDS_SEE_CheckBox(...) __VA_ARGS__
#define QUELLOR_IF_COMMANDS_SEE_ListBox(...) __VA_ARGS__
#define QUELLOR_IF_COMMANDS_SEE_HintLabel(...) __VA_ARGS__
#define QUELLOR_IF_COMMANDS_SEE_EditBox(...) __VA_ARGS__
#define QUELLOR_IF_COMMANDS_SEE_ListView(...) __VA_ARGS__
#define QUELLOR_IF_COMMANDS_SEE_ProgressBar(...) __VA_ARGS__
#define QUELLOR_IF_COMMANDS_SEE_Frame(...)
#define QUELLOR_IF_COMMANDS_SEE_NameLabel(...)

namespace quellor::ui {

// How a control starts when the window is created.
enum class ControlStart { Normal, Checked, Disabled, Hidden };

}  // namespace quellor::ui
