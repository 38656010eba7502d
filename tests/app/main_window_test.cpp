// The real main window, in-process, driven by window messages.
#include "app/main_window_fixture.h"
#include "app/window_layout.h"
#include "platform/win32/wide_text_win32.h"
#include "support/foreign_names.h"
#include "quellor_version.h"
#include "support/row_setup.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace quellor::app {
namespace {

// ---- The window and its controls as built ----------------------------------

TEST_F(MainWindowTest, WindowIsAFixedCentredCaptionedWindowWithoutMaximiseOrMenu) {
  Open();
  const LONG style = GetWindowLongA(main(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME) << "the border is fixed";
  EXPECT_FALSE(GetWindowLongA(main(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "a task bar button";
  EXPECT_EQ(GetMenu(main()), nullptr);
  EXPECT_EQ(GetParent(main()), nullptr);
  RECT outer;
  GetWindowRect(main(), &outer);
  EXPECT_EQ(outer.right - outer.left, 859);
  EXPECT_EQ(outer.bottom - outer.top, 507);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 859) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 507) / 2);
  const std::string caption = Text(main());
  EXPECT_EQ(caption.rfind("QuellorV" QUELLOR_VERSION " ", 0), 0u) << caption;
  EXPECT_GT(caption.size(), std::string("QuellorV" QUELLOR_VERSION " ").size()) << "a credit line follows";
}

bool IsRadio(int id) {
  return id == ids::单选框_整个电脑 || id == ids::单选框_指定路径 || id == ids::单选框_精确搜索 || id == ids::单选框_模糊搜索;
}

// The captions of the lists, the frames and the progress bar are never drawn:
// they name them for screen readers.
TEST_F(MainWindowTest, EveryControlIsBuiltAsTheControlTableSays) {
  Open();
  HFONT default_font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (const ControlLayout& layout : MainWindowControls()) {
    SCOPED_TRACE(layout.id);
    HWND control = Item(layout.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(ClassName(control), layout.class_name);
    const RECT rect = ClientRectOf(control);
    EXPECT_EQ(rect.left, layout.left);
    EXPECT_EQ(rect.top, layout.top);
    EXPECT_EQ(rect.right - rect.left, layout.width);
    EXPECT_EQ(rect.bottom - rect.top, layout.height);
    EXPECT_EQ(Text(control), layout.caption);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    EXPECT_EQ((style & WS_VISIBLE) != 0, layout.start != ui::ControlStart::Hidden);
    EXPECT_EQ(IsWindowEnabled(control) != 0, layout.start != ui::ControlStart::Disabled);
    // A radio button is a tab stop while it is the checked one of its group.
    EXPECT_EQ((style & WS_TABSTOP) != 0, IsRadio(layout.id) ? Checked(layout.id) : (layout.style & WS_TABSTOP) != 0);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    if (layout.font == ControlFont::Small) {
      LOGFONTA logical{};
      ASSERT_TRUE(GetObjectA(font, sizeof logical, &logical));
      EXPECT_EQ(logical.lfHeight, -12);
      EXPECT_EQ(logical.lfWeight, FW_NORMAL);
      EXPECT_EQ(logical.lfCharSet, GB2312_CHARSET);
      EXPECT_STREQ(logical.lfFaceName, "");
    } else if (std::string_view(layout.class_name) != kFrameClass) {
      EXPECT_EQ(font, default_font);
    }
    if (std::string_view(layout.class_name) == "Button") {
      const LONG type = style & BS_TYPEMASK;
      if (layout.id == ids::选择框_搜索目录 || layout.id == ids::选择框_保存关键字 ||
          layout.id == ids::选择框_同名自动改名) {
        EXPECT_EQ(type, BS_AUTOCHECKBOX);
      } else if (IsRadio(layout.id)) {
        EXPECT_EQ(type, BS_AUTORADIOBUTTON);
      } else {
        EXPECT_EQ(type, BS_PUSHBUTTON) << "no default push button";
        EXPECT_EQ(style & (BS_CENTER | BS_VCENTER), BS_CENTER | BS_VCENTER);
      }
    }
  }
}

TEST_F(MainWindowTest, EditListAndResultListHaveTheirStylesAndColumn) {
  Open();
  const LONG edit = GetWindowLongA(Item(ids::编辑框_文件名), GWL_STYLE);
  for (LONG bit : {ES_MULTILINE, ES_WANTRETURN, ES_AUTOHSCROLL, ES_AUTOVSCROLL, WS_VSCROLL, WS_HSCROLL}) {
    EXPECT_TRUE(edit & bit) << std::hex << bit;
  }
  EXPECT_FALSE(edit & ES_NOHIDESEL) << "selection hidden without focus";
  EXPECT_GE(static_cast<DWORD>(SendMessageA(Item(ids::编辑框_文件名), EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEu);

  HWND paths = Item(ids::列表框_路径);
  EXPECT_FALSE(GetWindowLongA(paths, GWL_STYLE) & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
  for (const char* entry : {"b", "a", "c", "e", "d", "f", "g"}) {
    SendMessageA(paths, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
  }
  char first[8] = {};
  SendMessageA(paths, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
  EXPECT_STREQ(first, "b") << "kept in insertion order";
  EXPECT_TRUE(GetWindowLongA(paths, GWL_STYLE) & WS_VSCROLL) << "a vertical scroll bar once entries overflow";
  EXPECT_EQ(ClientRectOf(paths).bottom - ClientRectOf(paths).top, 59) << "no shrinking to whole lines";
  for (int id : {ids::编辑框_文件名, ids::列表框_路径, ids::超级列表框_结果}) {
    EXPECT_TRUE(GetWindowLongA(Item(id), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) << id;
  }

  HWND results = Item(ids::超级列表框_结果);
  const LONG view = GetWindowLongA(results, GWL_STYLE);
  EXPECT_EQ(view & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_FALSE(view & (LVS_SINGLESEL | LVS_EDITLABELS | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | LVS_NOCOLUMNHEADER));
  const DWORD extended = static_cast<DWORD>(SendMessageA(results, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  EXPECT_EQ(extended & (LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT), LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  EXPECT_FALSE(extended & LVS_EX_GRIDLINES);
  EXPECT_EQ(SendMessageA(results, LVM_GETCOLUMNWIDTH, 0, 0), 600);
  char title[64] = {};
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_FMT;
  column.pszText = title;
  column.cchTextMax = sizeof title;
  ASSERT_TRUE(SendMessageA(results, LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)));
  EXPECT_STREQ(title, "文件路径");
  EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
  EXPECT_FALSE(SendMessageA(results, LVM_GETCOLUMNWIDTH, 1, 0)) << "one column only";
  EXPECT_EQ(SendMessageA(Item(ids::进度条_文件操作), PBM_GETPOS, 0, 0), 0);
}

// The test program carries the program's manifest: the buttons are those of
// common controls 6, which alone know their ideal size.
TEST_F(MainWindowTest, ControlsAreThoseOfCommonControlsSix) {
  Open();
  SIZE ideal{};
  EXPECT_TRUE(SendMessageA(Item(ids::按钮_立即搜索), BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
  EXPECT_GT(ideal.cx, 0);
}

// Every caption fits its control, the box of a check box or radio button included.
TEST_F(MainWindowTest, CaptionsFitTheirControls) {
  Open();
  const int box = GetSystemMetrics(SM_CXMENUCHECK) + 4;
  for (const ControlLayout& layout : MainWindowControls()) {
    // A hidden label is never drawn; the hint's lines have a test of their own.
    const bool skipped = layout.start == ui::ControlStart::Hidden || layout.id == ids::透明标签_提示;
    if (skipped || *layout.caption == '\0') continue;
    SCOPED_TRACE(layout.caption);
    HWND control = Item(layout.id);
    const SIZE text = CaptionExtent(control, layout.caption);
    const LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    const bool has_box = std::string_view(layout.class_name) == "Button" && type != BS_PUSHBUTTON;
    const bool push_button = std::string_view(layout.class_name) == "Button" && type == BS_PUSHBUTTON;
    const int room = layout.width - (has_box ? box : 0) - (push_button ? 6 : 0);
    EXPECT_LE(text.cx, room);
    EXPECT_LE(text.cy, layout.height);
  }
}

// Radio groups start at their first button; what overlaps lies on top.
TEST_F(MainWindowTest, RadioGroupsAndStackingOrder) {
  Open();
  auto group = [&](int id) { return (GetWindowLongA(Item(id), GWL_STYLE) & WS_GROUP) != 0; };
  EXPECT_TRUE(group(ids::单选框_整个电脑));
  EXPECT_FALSE(group(ids::单选框_指定路径));
  EXPECT_TRUE(group(ids::单选框_精确搜索));
  EXPECT_FALSE(group(ids::单选框_模糊搜索));
  EXPECT_TRUE(group(ids::按钮_复制到剪贴板)) << "ends the search-area group";
  EXPECT_TRUE(group(ids::超级列表框_结果)) << "ends the matching-mode group";

  std::vector<HWND> top_down;
  for (HWND child = GetWindow(main(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) top_down.push_back(child);
  auto depth = [&](int id) { return std::find(top_down.begin(), top_down.end(), Item(id)) - top_down.begin(); };
  EXPECT_LT(depth(ids::透明标签_提示), depth(ids::编辑框_文件名));
  EXPECT_LT(depth(ids::选择框_同名自动改名), depth(ids::单选框_指定路径));
  EXPECT_LT(depth(ids::按钮_复制到剪贴板), depth(ids::单选框_精确搜索));
  EXPECT_GT(depth(ids::外形框_搜索范围), depth(ids::单选框_整个电脑));
  EXPECT_GT(depth(ids::外形框_匹配方式), depth(ids::单选框_模糊搜索));
}

// A first start loads the settings too: 选择框_保存关键字, ticked in the
// control table, is unticked by the missing option. Setting the controls
// clicks none of them, so nothing is written.
TEST_F(MainWindowTest, FirstRunLoadsTheSettingsAndWritesNothing) {
  Open();
  EXPECT_FALSE(Checked(ids::选择框_保存关键字));
  EXPECT_FALSE(folder.Exists(commands::kConfigFile));
}

TEST_F(MainWindowTest, StoredSettingsAndListsAreRestoredAtStart) {
  folder.Write(commands::kConfigFile, "[zhuce]\r\n全盘搜索=真\r\n精确=假\r\n同名文件自动更名=真\r\n是否只搜索目录名=真\r\n保存关键字=真\r\n");
  folder.Write(commands::kKeywordFile, "kw1\r\nkw2");
  folder.Write(commands::kPathFile, "C:\\a\r\n\r\nC:\\\xD6\\\r\n");
  Open();
  EXPECT_TRUE(Checked(ids::单选框_整个电脑));
  EXPECT_FALSE(Checked(ids::单选框_指定路径));
  EXPECT_FALSE(IsWindowEnabled(Item(ids::按钮_搜索路径)));
  EXPECT_TRUE(Checked(ids::单选框_模糊搜索));
  EXPECT_FALSE(Checked(ids::单选框_精确搜索));
  EXPECT_TRUE(Checked(ids::选择框_同名自动改名));
  EXPECT_TRUE(Checked(ids::选择框_搜索目录));
  EXPECT_TRUE(Checked(ids::选择框_保存关键字));
  EXPECT_EQ(Text(Item(ids::编辑框_文件名)), "kw1\r\nkw2");
  EXPECT_FALSE(IsWindowVisible(Item(ids::透明标签_提示)));
  EXPECT_EQ(PathEntries(), (std::vector<std::string>{"C:\\a", "", "C:\\\xD6\\"}));
}

TEST_F(MainWindowTest, HintShowsSixExampleNamesAndALeftPressHidesItForGood) {
  Open();
  HWND hint = Item(ids::透明标签_提示);
  const std::string text = Text(hint);
  std::vector<std::string> lines;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "请在这里输入您要搜索的文件名，例如：");
  for (std::size_t i = 1; i < lines.size(); ++i) {
    ASSERT_EQ(lines[i].size(), 22u) << lines[i];
    EXPECT_TRUE(std::all_of(lines[i].begin(), lines[i].begin() + 18, [](char c) { return c >= '0' && c <= '9'; }));
    EXPECT_EQ(lines[i].substr(18), ".jpg");
  }
  // Focusing the box leaves the hint where it is.
  SetFocus(Item(ids::编辑框_文件名));
  Pump(20ms);
  EXPECT_TRUE(IsWindowVisible(hint));
  SendMessageA(hint, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(hint, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(testing::PumpUntil([&] { return !IsWindowVisible(hint); }, 5s, main()));
  // A press through the hint's place now reaches the keyword box below.
  POINT inside{20, 20};
  ClientToScreen(main(), &inside);
  EXPECT_NE(WindowFromPoint(POINT{inside.x, inside.y + 100}), hint);
}

// ---- The controls as the commands see them ------------------------------------

TEST_F(MainWindowTest, ControlOperationsWorkOnTheRealControls) {
  Open();
  ui::Controls& c = *window->controls();

  // Names in UTF-8, any character among them.
  const std::string chinese = testing::Utf8(u8"\u4E2D\u6587");
  c.列表框_路径.Append("b");
  EXPECT_EQ(c.列表框_路径.Append(chinese), 1);
  EXPECT_EQ(c.列表框_路径.Text(1), chinese);
  EXPECT_EQ(c.列表框_路径.Append(testing::kJoergFolder), 2);
  EXPECT_EQ(c.列表框_路径.Text(2), testing::kJoergFolder);
  EXPECT_TRUE(c.列表框_路径.Delete(2));
  EXPECT_EQ(c.列表框_路径.Text(2), "") << "out of range";
  EXPECT_EQ(c.列表框_路径.Text(-1), "");
  EXPECT_EQ(c.列表框_路径.SelectedIndex(), -1);
  EXPECT_FALSE(c.列表框_路径.Delete(2));
  EXPECT_FALSE(c.列表框_路径.Delete(-1));
  EXPECT_EQ(c.列表框_路径.Count(), 2);
  SendMessageA(Item(ids::列表框_路径), LB_SETCURSEL, 1, 0);
  EXPECT_EQ(c.列表框_路径.SelectedIndex(), 1);
  EXPECT_TRUE(c.列表框_路径.Delete(0));
  c.列表框_路径.DeleteAll();
  EXPECT_EQ(c.列表框_路径.Count(), 0);

  c.编辑框_文件名.SetText(chinese + "\r\n");
  c.编辑框_文件名.Append("b\r\n");
  c.编辑框_文件名.Append(testing::kKoreanFolder + "\r\n");
  EXPECT_EQ(c.编辑框_文件名.Text(), chinese + "\r\nb\r\n" + testing::kKoreanFolder + "\r\n");

  const std::string long_path = "C:\\" + std::string(700, 'x') + "\\" + chinese + ".txt";
  testing::AppendRows(c.超级列表框_结果, {"C:\\one", long_path, "C:\\three"});
  EXPECT_EQ(c.超级列表框_结果.RowCount(), 3);
  EXPECT_EQ(c.超级列表框_结果.RowText(1), long_path) << "row texts of any length";
  EXPECT_EQ(c.超级列表框_结果.RowText(3), "");
  EXPECT_FALSE(c.超级列表框_结果.RowChecked(0)) << "new rows are unchecked";
  testing::SetRowChecked(c.超级列表框_结果, 2, true);
  EXPECT_TRUE(c.超级列表框_结果.RowChecked(2));
  EXPECT_FALSE(c.超级列表框_结果.RowChecked(1));
  testing::SetRowChecked(c.超级列表框_结果, -1, true);
  EXPECT_FALSE(c.超级列表框_结果.RowChecked(0)) << "-1 is no row, not every row";
  EXPECT_EQ(c.超级列表框_结果.CurrentRow(), -1);
  ListView_SetItemState(Item(ids::超级列表框_结果), 2, LVIS_SELECTED, LVIS_SELECTED);
  ListView_SetItemState(Item(ids::超级列表框_结果), 1, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(c.超级列表框_结果.CurrentRow(), 1) << "the selected row nearest the top";
  EXPECT_TRUE(c.超级列表框_结果.RowSelected(2));
  EXPECT_FALSE(c.超级列表框_结果.RowSelected(0));
  EXPECT_TRUE(testing::DeleteRow(c.超级列表框_结果, 0));
  EXPECT_FALSE(testing::DeleteRow(c.超级列表框_结果, 5));
  EXPECT_EQ(c.超级列表框_结果.RowText(0), long_path);
  EXPECT_TRUE(c.超级列表框_结果.RowChecked(1));
  c.超级列表框_结果.DeleteAllRows();
  EXPECT_EQ(c.超级列表框_结果.RowCount(), 0);

  c.进度条_文件操作.SetMaximum(250);
  c.进度条_文件操作.SetPosition(100);
  EXPECT_EQ(c.进度条_文件操作.Maximum(), 250);
  EXPECT_EQ(c.进度条_文件操作.Position(), 100);

  c.按钮_停止搜索.SetCaption("已停止");
  EXPECT_EQ(c.按钮_停止搜索.Caption(), "已停止");
  c.按钮_未搜索到文件.SetEnabled(true);
  EXPECT_TRUE(c.按钮_未搜索到文件.Enabled());
  c.标签_状态.SetCaption("搜索完毕！共搜索到文件0个.");
  EXPECT_EQ(Text(Item(ids::标签_状态)), "搜索完毕！共搜索到文件0个.");
  EXPECT_FALSE(c.透明标签_提示.Visible()) << "hidden once the names box holds text";
  c.透明标签_提示.SetVisible(true);
  EXPECT_TRUE(IsWindowVisible(Item(ids::透明标签_提示)));
  c.透明标签_提示.SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(Item(ids::透明标签_提示)));
}

// ---- Options ------------------------------------------------------------------

// Each option's click reaches the command that stores it; a radio button
// unchecks the other of its group and leaves the other group alone.
TEST_F(MainWindowTest, OptionClicksAreStoredAtOnceAndRadioPairsStayExclusive) {
  Open();
  const struct {
    int click;
    std::string_view key;
    const char* stored;
    int unchecked;  // the other of its radio group; 0 for a check box
    int kept;       // the checked one of the other group
  } cases[] = {
      {ids::单选框_整个电脑, commands::kKeyWholeComputer, "真", ids::单选框_指定路径, ids::单选框_精确搜索},
      {ids::单选框_指定路径, commands::kKeyWholeComputer, "假", ids::单选框_整个电脑, ids::单选框_精确搜索},
      {ids::单选框_模糊搜索, commands::kKeyExact, "假", ids::单选框_精确搜索, ids::单选框_指定路径},
      {ids::单选框_精确搜索, commands::kKeyExact, "真", ids::单选框_模糊搜索, ids::单选框_指定路径},
      {ids::选择框_同名自动改名, commands::kKeyRenameOnClash, "真", 0, 0},
      {ids::选择框_同名自动改名, commands::kKeyRenameOnClash, "假", 0, 0},
      {ids::选择框_搜索目录, commands::kKeyFolderNamesOnly, "真", 0, 0},
      {ids::选择框_保存关键字, commands::kKeySaveKeywords, "真", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.click);
    Click(c.click);
    EXPECT_EQ(Option(c.key), c.stored);
    if (c.unchecked == 0) continue;
    EXPECT_TRUE(Checked(c.click));
    EXPECT_FALSE(Checked(c.unchecked));
    EXPECT_TRUE(Checked(c.kept));
  }
}

// ---- The search folder list ---------------------------------------------------

TEST_F(MainWindowTest, BrowsedFolderIsAddedWithoutItsTrailingBackslash) {
  Open();
  dialogs.folders = {"D:\\Photos\\"};
  Click(ids::按钮_搜索路径);
  EXPECT_EQ(PathEntries(), (std::vector<std::string>{"D:\\Photos"}));
}

TEST_F(MainWindowTest, ShellDropListsAreAddedInDropOrderAndOtherDataIsRefused) {
  Open();
  EXPECT_EQ(RegisterDragDrop(main(), window->drop_target()), DRAGDROP_E_ALREADYREGISTERED)
      << "the window itself is the drop target";
  IDropTarget* target = window->drop_target();
  ASSERT_NE(target, nullptr);

  auto drop = [&](IDataObject* data) {
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    POINTL point{100, 100};
    EXPECT_EQ(target->DragEnter(data, MK_LBUTTON, point, &effect), S_OK);
    const DWORD entered = effect;
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    EXPECT_EQ(target->Drop(data, 0, point, &effect), S_OK);
    data->Release();
    return entered;
  };
  EXPECT_EQ(drop(testing::NewFileDropData({"C:\\b\\", "C:\\a", "C:\\a\\file.txt", "D:\\"}, true)), DROPEFFECT_COPY);
  EXPECT_EQ(drop(testing::NewFileDropData({"C:\\\xD6\\", "C:\\\xD6\xD0\xCE\xC4\\"}, false)), DROPEFFECT_COPY);
  EXPECT_EQ(drop(testing::NewTextData("C:\\text")), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(PathEntries(), (std::vector<std::string>{"C:\\b", "C:\\a", "C:\\a\\file.txt", "D:", "C:\\\xD6\\",
                                                     "C:\\\xD6\xD0\xCE\xC4"}));
}

TEST_F(MainWindowTest, RightPressOpensTheMenusAtTheCursorAndTheirItemsAct) {
  Open();
  SetForegroundWindow(main());
  for (const char* e : {"a", "b", "c"}) SendMessageA(Item(ids::列表框_路径), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e));
  SendMessageA(Item(ids::列表框_路径), LB_SETCURSEL, 1, 0);

  for (int list : {ids::列表框_路径, ids::超级列表框_结果}) {
    RECT place = ClientRectOf(Item(list));
    POINT cursor{place.left + 20, place.top + 30};
    ClientToScreen(main(), &cursor);
    SetCursorPos(cursor.x, cursor.y);
    const testing::SeenMenu seen =
        testing::MenuOpenedBy([&] { SendMessageA(Item(list), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 30)); });
    if (list == ids::列表框_路径) {
      EXPECT_EQ(seen.items, (std::vector<std::string>{"删除当前路径", "删除全部路径"}));
    } else {
      EXPECT_EQ(seen.items, (std::vector<std::string>{"打开文件所在位置", "批量勾选选定项目", "删除到回收站",
                                                   "撤销上次复制/移动", "导出结果列表…", "按路径排序"}));
    }
    POINT actual{};
    GetCursorPos(&actual);
    EXPECT_EQ(seen.place.left, actual.x + 3);
    EXPECT_EQ(seen.place.top, actual.y + 3);
  }
  EXPECT_EQ(SendMessageA(Item(ids::列表框_路径), LB_GETCURSEL, 0, 0), 1) << "a right press selects nothing";

  SendMessageA(main(), WM_COMMAND, MAKEWPARAM(ids::路径菜单_删除当前路径, 0), 0);
  EXPECT_EQ(PathEntries(), (std::vector<std::string>{"a", "c"}));
  SendMessageA(main(), WM_COMMAND, MAKEWPARAM(ids::路径菜单_删除当前路径, 0), 0);
  EXPECT_EQ(PathEntries().size(), 2u) << "no selection left: nothing removed";
  SendMessageA(main(), WM_COMMAND, MAKEWPARAM(ids::路径菜单_删除全部路径, 0), 0);
  EXPECT_TRUE(PathEntries().empty());
}

// ---- Closing ------------------------------------------------------------------

TEST_F(MainWindowTest, ClosingStoresThePathsAndTheKeywordsWhileTicked) {
  Open();
  SendMessageA(Item(ids::列表框_路径), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("C:\\one"));
  SendMessageA(Item(ids::列表框_路径), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(""));
  Click(ids::选择框_保存关键字);
  SetWindowTextA(Item(ids::编辑框_文件名), "x\r\ny");
  Close();
  EXPECT_EQ(folder.Read(commands::kPathFile), "C:\\one\r\n\r\n");
  EXPECT_EQ(folder.Read(commands::kKeywordFile), "x\r\ny");
}

// 60,000 saved names go into the box in slices after the window opens (Wine
// lays out each line it takes): every reader gets them all meanwhile, and a
// key typed meanwhile lands where the user put the caret. Names code page 936
// cannot write (one a surrogate pair in UTF-16) come through the slices whole.
TEST_F(MainWindowTest, ALongSavedListFillsTheBoxInSlicesAndReachesEveryReaderWhole) {
  std::string names;
  for (int i = 0; i < 60000; ++i) {
    names += "name" + std::to_string(i) + (i % 2 == 0 ? testing::kJoerg : testing::SevenInvoices()[3].name) + "\r\n";
  }
  const std::string utf8_mark = "\xEF\xBB\xBF";
  folder.Write(commands::kConfigFile, "[zhuce]\r\n保存关键字=真\r\n");
  folder.Write(commands::kKeywordFile, utf8_mark + names);
  Open();
  HWND edit = Item(ids::编辑框_文件名);
  ASSERT_LT(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 60001) << "still filling";
  EXPECT_EQ(window->controls()->编辑框_文件名.Text(), names);
  SaveScreenshot("main-window-long-list-filling");
  SetFocus(edit);
  SendMessageA(edit, EM_SETSEL, 0, 0);
  SendMessageA(edit, WM_CHAR, 'x', 0);
  EXPECT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 60001) << "the rest went in before the key";
  std::wstring shown(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
  shown.resize(static_cast<std::size_t>(GetWindowTextW(edit, shown.data(), static_cast<int>(shown.size()))));
  EXPECT_EQ(platform::win32::Utf8Name(shown.data(), shown.size()), "x" + names);
  Close();
  EXPECT_EQ(folder.Read(commands::kKeywordFile), utf8_mark + "x" + names);
}

// A search clicked at once, while the saved names still go into the box
// (the fill waits for it): every name is searched, and the box ends up
// holding every name.
TEST_F(MainWindowTest, ASearchClickedWhileTheBoxFillsFindsEveryNameAndTheBoxStillGetsThemAll) {
  std::string names;
  for (int i = 0; i < 60000; ++i) {
    names += "name" + std::to_string(i) + "\r\n";
    if (i % 1000 == 999) folder.File("tree/name" + std::to_string(i) + ".txt");
  }
  folder.Write(commands::kConfigFile, "[zhuce]\r\n保存关键字=真\r\n精确=真\r\n");
  folder.Write(commands::kKeywordFile, names);
  folder.Write(commands::kPathFile, folder.Path("tree") + "\r\n");
  Open();
  HWND edit = Item(ids::编辑框_文件名);
  ASSERT_LT(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 60001) << "still filling";
  Click(ids::按钮_立即搜索);
  EXPECT_TRUE(testing::PumpUntil([&] { return Text(Item(ids::标签_状态)) == "搜索完毕！共搜索到文件60个."; }, 60s, main()))
      << Text(Item(ids::标签_状态));
  EXPECT_TRUE(testing::PumpUntil([&] { return SendMessageA(edit, EM_GETLINECOUNT, 0, 0) == 60001; }, 60s, main()));
  EXPECT_EQ(window->controls()->编辑框_文件名.Text(), names);
  Close();
}

// Pixels of the keyword box's area as it is on the screen: typed text shows
// through the hint as black, the hint as light grey.
struct InkCount {
  int dark = 0;
  int light_grey = 0;
};
InkCount CountInk(HWND control) {
  InkCount ink;
  RECT area;
  GetClientRect(control, &area);
  HDC dc = GetDC(control);
  for (int y = 0; y < area.bottom - 20; ++y) {
    for (int x = 0; x < area.right - 20; ++x) {  // the scroll bars are no ink
      const COLORREF pixel = GetPixel(dc, x, y);
      const int r = GetRValue(pixel), g = GetGValue(pixel), b = GetBValue(pixel);
      if (r < 80 && g < 80 && b < 80) ++ink.dark;
      if (r > 150 && r < 230 && r == g && g == b) ++ink.light_grey;
    }
  }
  ReleaseDC(control, dc);
  return ink;
}

// The hint is never drawn over typed text: typing hides it, pasting too, and
// so does text a command puts in the box.
TEST_F(MainWindowTest, TypedOrPastedTextHidesTheTransparentHint) {
  // The box's pixels after typing two lines, the hint first pressed away or not.
  const auto typed_ink = [&](bool hint_pressed_first) {
    Open();
    SetForegroundWindow(main());
    HWND edit = Item(ids::编辑框_文件名);
    HideCaret(edit);  // the focus starts in the box: its caret is no ink
    testing::PumpUntil([&] { return CountInk(edit).light_grey > 100; }, 5s, main());
    const InkCount hint_only = CountInk(edit);
    EXPECT_GT(hint_only.light_grey, 100);
    EXPECT_EQ(hint_only.dark, 0);
    if (hint_pressed_first) SendMessageA(Item(ids::透明标签_提示), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    for (char c : std::string("WWWWWWWW")) SendMessageA(edit, WM_CHAR, c, 0);
    SendMessageA(edit, WM_CHAR, '\r', 0);
    for (char c : std::string("MMMMMMMM")) SendMessageA(edit, WM_CHAR, c, 0);
    EXPECT_FALSE(IsWindowVisible(Item(ids::透明标签_提示)));
    Pump(100ms);
    const InkCount typed = CountInk(edit);
    Close();
    return typed;
  };
  const InkCount typed = typed_ink(false);
  const InkCount reference = typed_ink(true);
  EXPECT_GT(typed.dark, 50) << "the typed text shows";
  EXPECT_EQ(typed.dark, reference.dark) << "and nothing of the hint over it";
  EXPECT_EQ(typed.light_grey, reference.light_grey);

  for (const auto& fill : std::vector<std::function<void(HWND)>>{
           [](HWND box) {
             testing::PutTextOnClipboard("pasted");
             SendMessageA(box, WM_PASTE, 0, 0);
           },
           [](HWND box) { SetWindowTextA(box, "set"); }}) {
    Open();
    EXPECT_TRUE(IsWindowVisible(Item(ids::透明标签_提示)));
    fill(Item(ids::编辑框_文件名));
    Pump(20ms);
    EXPECT_FALSE(IsWindowVisible(Item(ids::透明标签_提示)));
    Close();
  }
}

TEST_F(MainWindowTest, ScreenshotAfterStartUp) {
  folder.Write(commands::kPathFile, "C:\\Photos\r\nD:\\\xB9\xAB\xCB\xBE\xCE\xC4\xBC\xFE\r\n");  // D:\公司文件
  Open();
  SaveScreenshot("main-window");
}

}  // namespace
}  // namespace quellor::app
