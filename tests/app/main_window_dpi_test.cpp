// The window at other DPIs: laid out from the control table scaled by the
// window's DPI. MainWindowTest runs where the system is at 96 DPI; the
// HighDpi tests run in a Wine prefix of their own at 144 DPI (150 %).
#include "app/main_window_fixture.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/window_dpi.h"
#include "app/window_layout.h"

namespace quellor::app {
namespace {

RECT OuterRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

LONG FontHeight(HWND control) {
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfHeight;
}

// Every control where the table puts it at `dpi`, each in its font at `dpi`.
void ExpectLaidOutAt(HWND window, int dpi) {
  const SIZE size = WindowSize(dpi);
  const RECT outer = OuterRect(window);
  EXPECT_EQ(outer.right - outer.left, size.cx);
  EXPECT_EQ(outer.bottom - outer.top, size.cy);
  LOGFONTA gui{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
  for (const ControlLayout& layout : MainWindowControls()) {
    SCOPED_TRACE(layout.id);
    HWND control = GetDlgItem(window, layout.id);
    const RECT expected = ControlRect(layout, dpi);
    const RECT actual = testing::ClientRectOf(control);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
    if (std::string_view(layout.class_name) == kFrameClass) continue;  // draws no text, keeps no font
    EXPECT_EQ(FontHeight(control), layout.font == ControlFont::Small ? -ScaleToDpi(kSmallFontHeight, dpi)
                                                                      : MulDiv(gui.lfHeight, dpi, SystemDpi()));
  }
  EXPECT_EQ(SendMessageA(GetDlgItem(window, ids::超级列表框_结果), LVM_GETCOLUMNWIDTH, 0, 0),
            ScaleToDpi(kResultColumnWidth, dpi));
}

// Moved to a monitor of another DPI, the window lays itself out again from
// the table; back at 96 DPI it is the very window it was, to the pixel.
TEST_F(MainWindowTest, LaysItselfOutAgainWhenItsDpiChanges) {
  folder.Write(commands::kPathFile, "C:\\Photos\r\nD:\\\xB9\xAB\xCB\xBE\xCE\xC4\xBC\xFE\r\n");  // D:\公司文件
  Open();
  ASSERT_EQ(SystemDpi(), kLayoutDpi) << "this prefix runs at 96 DPI";
  const RECT start = OuterRect(main());
  for (const int dpi : {144, 120, 96}) {
    SCOPED_TRACE(dpi);
    const SIZE size = WindowSize(dpi);
    RECT suggested{start.left, start.top, start.left + size.cx, start.top + size.cy};
    SendMessageA(main(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    ExpectLaidOutAt(main(), dpi);
    EXPECT_EQ(OuterRect(main()).left, start.left) << "where the system suggests";
  }
  EXPECT_EQ(FontHeight(Item(ids::按钮_立即搜索)), -12);
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(Item(ids::编辑框_文件名), WM_GETFONT, 0, 0)),
            GetStockObject(DEFAULT_GUI_FONT))
      << "at the system's DPI, the stock font itself";
  // For comparison with the start-up screenshot of a build before DPI scaling.
  SaveScreenshot("main-window-back-at-96dpi");
}

// ---- At 144 DPI (a prefix of its own) ---------------------------------------

class HighDpi : public MainWindowTest {};

TEST_F(HighDpi, TheWindowAndEveryControlAreScaledAndEveryCaptionFits) {
  folder.Write(commands::kPathFile, "C:\\Photos\r\nD:\\\xB9\xAB\xCB\xBE\xCE\xC4\xBC\xFE\r\n");
  Open();
  ASSERT_EQ(SystemDpi(), 144) << "LogPixels of this prefix";
  ASSERT_EQ(WindowDpi(main()), 144) << "the program declares itself DPI-aware";
  const RECT outer = OuterRect(main());
  EXPECT_NEAR(outer.right - outer.left, 1288, 1) << "859 x 1.5";
  EXPECT_NEAR(outer.bottom - outer.top, 760, 1) << "507 x 1.5";
  ExpectLaidOutAt(main(), 144);
  RECT client{};
  GetClientRect(main(), &client);
  for (const ControlLayout& layout : MainWindowControls()) {
    EXPECT_LE(ControlRect(layout, 144).bottom, client.bottom) << "inside the client area: " << layout.id;
    EXPECT_LE(ControlRect(layout, 144).right, client.right) << layout.id;
  }

  // Each caption's extent in its own font fits its control: the box of a check
  // box or radio button and the edges of a push button left out.
  const int box = GetSystemMetrics(SM_CXMENUCHECK) + ScaleToDpi(4, 144);
  for (const ControlLayout& layout : MainWindowControls()) {
    HWND control = Item(layout.id);
    const bool drawn = (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
    const std::string class_name = ClassName(control);
    if (!drawn || *layout.caption == '\0' || layout.id == ids::透明标签_提示 ||
        (class_name != "Button" && class_name != "Static")) {
      continue;
    }
    SCOPED_TRACE(layout.caption);
    const SIZE text = CaptionExtent(control, layout.caption);
    const LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    const bool push_button = class_name == "Button" && type == BS_PUSHBUTTON;
    const bool has_box = class_name == "Button" && !push_button;
    RECT area{};
    GetClientRect(control, &area);
    EXPECT_LE(text.cx, area.right - (has_box ? box : 0) - (push_button ? ScaleToDpi(6, 144) : 0));
    EXPECT_LE(text.cy, area.bottom);
  }
  SaveScreenshot("main-window-144dpi");
}

}  // namespace
}  // namespace quellor::app
