#include "app/window_layout.h"

#include <commctrl.h>

#include <array>

#include "app/control_ids.h"

namespace quellor::app {

const char* const kHintText =
    "请在这里输入您要搜索的文件名，例如：\r\n"
    "201805120931470001.jpg\r\n"
    "201805120931470002.jpg\r\n"
    "201806031547220318.jpg\r\n"
    "201807152208110045.jpg\r\n"
    "201809300712590127.jpg\r\n"
    "201811281633040996.jpg";

namespace {

constexpr DWORD kPushButton = BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | WS_TABSTOP | WS_GROUP;
constexpr DWORD kCheckBox = BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP;
// The first button of a radio group starts the group; the second follows it.
constexpr DWORD kFirstRadio = BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP;
constexpr DWORD kNextRadio = BS_AUTORADIOBUTTON;
constexpr DWORD kLabel = SS_LEFT | WS_GROUP;
constexpr ControlFont kSmall = ControlFont::Small;
constexpr ControlFont kDefault = ControlFont::WindowDefault;

const std::array<ControlSpec, 26> kControls{{
    {ids::标签2, "Static", 6, 5, 51, 25, "搜索路径", kLabel, 0, kSmall},
    {ids::按钮_搜索路径, "Button", 55, 4, 85, 25, "添加搜索路径", kPushButton, 0, kSmall},
    {ids::选择框_搜索目录, "Button", 141, 10, 85, 16, "只搜目录名", kCheckBox, 0, kSmall},
    {ids::选择框2, "Button", 222, 10, 82, 16, "保存关键字", kCheckBox, 0, kSmall},
    {ids::列表框_路径, "ListBox", 5, 35, 299, 59, "", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
     WS_EX_CLIENTEDGE, kDefault},
    // Takes the mouse (SS_NOTIFY) so that a press on it reaches it rather than the box below.
    {ids::透明标签1, "Static", 11, 103, 269, 297, kHintText, SS_LEFT | SS_NOTIFY | WS_GROUP, 0, kDefault},
    {ids::编辑框_文件名, "Edit", 6, 97, 298, 319, "",
     ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | WS_GROUP,
     WS_EX_CLIENTEDGE, kDefault},
    {ids::选择框1, "Button", 599, 11, 240, 16, "复制或移动时遇到同名文件自动改名另存", kCheckBox, 0, kSmall},
    {ids::单选框_整个电脑, "Button", 308, 7, 160, 24, "搜索整个电脑(速度稍慢)", kFirstRadio, 0, kSmall},
    {ids::单选框_指定路径, "Button", 471, 7, 145, 24, "搜索指定路径(快速)", kNextRadio, 0, kSmall},
    {ids::按钮_复制到剪贴板, "Button", 677, 43, 170, 24, "复制选定文件到剪贴板", kPushButton, 0, kSmall},
    {ids::单选框_精确搜索, "Button", 311, 49, 487, 16, "精确搜索(要搜索的文件名需要填写完整准确，一行一个文件名)",
     kFirstRadio, 0, kSmall},
    {ids::单选框_模糊搜索, "Button", 311, 68, 526, 16,
     "模糊搜索(只填写文件名的任意关键字，即可搜索出所有包含这关键字的文件，一行一个关键字)", kNextRadio, 0, kSmall},
    {ids::超级列表框1, WC_LISTVIEWA, 306, 98, 541, 302, "", LVS_REPORT | LVS_OWNERDATA | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE,
     kDefault},
    {ids::进度条1, PROGRESS_CLASSA, 283, 400, 564, 16, "", WS_GROUP, 0, kDefault},
    {ids::按钮_立即搜索, "Button", 6, 424, 66, 30, "立即搜索", kPushButton, 0, kSmall},
    {ids::按钮_未搜索到文件, "Button", 76, 424, 110, 30, "未搜到的文件列表", kPushButton | WS_DISABLED, 0, kSmall},
    {ids::按钮_停止搜索, "Button", 189, 424, 81, 30, "停止搜索", kPushButton, 0, kSmall},
    {ids::按钮1, "Button", 312, 424, 64, 32, "全部勾选", kPushButton, 0, kSmall},
    {ids::按钮2, "Button", 392, 424, 84, 32, "取消全部勾选", kPushButton, 0, kSmall},
    {ids::按钮3, "Button", 492, 424, 82, 32, "复制选定文件", kPushButton, 0, kSmall},
    {ids::按钮5, "Button", 590, 424, 80, 32, "移动选定文件", kPushButton, 0, kSmall},
    {ids::按钮4, "Button", 686, 424, 85, 32, "删除选定文件", kPushButton, 0, kSmall},
    {ids::标签_状态, "Static", 8, 456, 424, 16, "", SS_LEFTNOWORDWRAP | WS_GROUP, 0, kDefault},
    {ids::外形框1, kFrameClass, 305, 2, 544, 32, "", WS_GROUP, 0, kDefault},
    {ids::外形框2, kFrameClass, 305, 41, 544, 48, "", WS_GROUP, 0, kDefault},
}};

}  // namespace

std::span<const ControlSpec> MainWindowControls() { return kControls; }

}  // namespace quellor::app
