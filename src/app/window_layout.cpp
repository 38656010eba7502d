#include "app/window_layout.h"

#include <commctrl.h>

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
// Never shown: it names the control after it for screen readers.
constexpr DWORD kNameLabel = SS_LEFT | WS_GROUP;

#define QUELLOR_CONTROL_LAYOUT(kind, name, class_name, left, top, width, height, caption, style, ex_style, font, start) \
  {ids::name, class_name, left, top, width, height, caption, style, ex_style, ControlFont::font,                      \
   ui::ControlStart::start},
const ControlLayout kControls[] = {QUELLOR_MAIN_WINDOW_CONTROLS(QUELLOR_CONTROL_LAYOUT)};
#undef QUELLOR_CONTROL_LAYOUT

}  // namespace

std::span<const ControlLayout> MainWindowControls() { return kControls; }

int ScaleToDpi(int length, int dpi) { return MulDiv(length, dpi, kLayoutDpi); }

RECT ControlRect(const ControlLayout& layout, int dpi) {
  return RECT{ScaleToDpi(layout.left, dpi), ScaleToDpi(layout.top, dpi), ScaleToDpi(layout.left + layout.width, dpi),
              ScaleToDpi(layout.top + layout.height, dpi)};
}

SIZE WindowSize(int dpi) { return SIZE{ScaleToDpi(kWindowWidth, dpi), ScaleToDpi(kWindowHeight, dpi)}; }

}  // namespace quellor::app
