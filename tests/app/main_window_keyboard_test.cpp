// The window worked with the keyboard alone: keys as a keyboard sends them
// (SendInput), taken by the window's own message loop, the focus read as a
// screen reader reads it (GetGUIThreadInfo), and the names screen readers give
// the controls (AccessibleObjectFromWindow).
#include "app/main_window_fixture.h"

#include <commctrl.h>
#include <oleacc.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>

#include "app/window_layout.h"
#include "platform/clipboard_read_back.h"
#include "support/recording_shell.h"

namespace quellor::app {
namespace {

namespace fs = std::filesystem;

const std::string kPhotoGbk = "\xD5\xD5\xC6\xAC";  // 照片
const std::string kPhotoUtf8 = "\xE7\x85\xA7\xE7\x89\x87";

HWND FocusedWindow() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetCurrentThreadId(), &info) ? info.hwndFocus : nullptr;
}

class KeyboardTest : public MainWindowTest {
 protected:
  // photo1 in a folder of a Chinese name (through the ANSI entry points, as
  // the program names it), photo2 beside it.
  void SetUp() override {
    root = tree.path() / "root";
    fs::create_directories(root / "b");
    std::ofstream(root / "b" / "photo2.png") << "2";
    const std::string chinese = Root() + "\\" + kPhotoGbk;
    ASSERT_TRUE(CreateDirectoryA(chinese.c_str(), nullptr));
    HANDLE file = CreateFileA((chinese + "\\photo1.jpg").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
  }

  // Presses `key` with `held` held down, as a keyboard does, and lets the window take it.
  void Press(WORD key, std::initializer_list<WORD> held = {}) {
    ASSERT_TRUE(testing::PressKeys(key, held));
    Pump(80ms);
  }
  // Letters (lower case), digits and line breaks.
  void Type(const std::string& text) {
    for (char c : text) Press(c == '\n' ? VK_RETURN : static_cast<WORD>(std::toupper(static_cast<unsigned char>(c))));
  }
  int Focus() const { return GetDlgCtrlID(FocusedWindow()); }
  // The menu that a key opens in the focused list, read and closed.
  testing::SeenMenu MenuOf(WORD key, std::initializer_list<WORD> held) {
    return testing::MenuOpenedBy([&] { Press(key, held); });
  }
  // What the window asked of the focus rectangles (WM_CHANGEUISTATE), in order.
  WPARAM LastUiStateChange() const { return ui_state_changes.empty() ? 0 : ui_state_changes.back(); }
  static LRESULT CALLBACK RecordUiStateChange(int code, WPARAM wparam, LPARAM lparam) {
    const auto& sent = *reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (code == HC_ACTION && sent.message == WM_CHANGEUISTATE && recording != nullptr) {
      recording->ui_state_changes.push_back(sent.wParam);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
  }
  void TearDown() override {
    if (hook != nullptr) UnhookWindowsHookEx(hook);
    recording = nullptr;
    MainWindowTest::TearDown();
  }
  std::string Root() const { return root.string(); }

  static KeyboardTest* recording;
  HHOOK hook = nullptr;
  std::vector<WPARAM> ui_state_changes;

  testing::RecordingShell shell;
  testing::TempProgramFolder tree;
  fs::path root;
};

KeyboardTest* KeyboardTest::recording = nullptr;

std::u16string Utf16(const std::string& utf8) {
  std::u16string wide(utf8.size(), u'\0');
  wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                           reinterpret_cast<wchar_t*>(wide.data()),
                                                           static_cast<int>(wide.size()))));
  return wide;
}

std::string Ansi(const std::u16string& wide) {
  std::string bytes(wide.size() * 2, '\0');
  bytes.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(wide.data()),
                                                            static_cast<int>(wide.size()), bytes.data(),
                                                            static_cast<int>(bytes.size()), nullptr, nullptr)));
  return bytes;
}

// From start-up to close without a mouse: names typed, the match mode and the
// search area chosen with the arrows, the search run, rows ticked, selected,
// copied and opened, both menus, a folder removed, the tab order round and back.
TEST_F(KeyboardTest, AWholeSessionWithoutAMouse) {
  folder.Write(commands::kPathFile, Root() + "\r\nC:\\to-remove\r\n");
  recording = this;
  hook = SetWindowsHookExA(WH_CALLWNDPROC, &RecordUiStateChange, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  Open(&shell);
  ASSERT_TRUE(SetForegroundWindow(main()) || GetForegroundWindow() == main());

  // Focus starts in the names box; the example names show until it holds text.
  EXPECT_EQ(Focus(), ids::编辑框_文件名);
  EXPECT_TRUE(IsWindowVisible(Item(ids::透明标签_提示)));
  Type("p");
  EXPECT_FALSE(IsWindowVisible(Item(ids::透明标签_提示))) << "hidden at the first character";
  Type("hoto1\nphoto2\n");
  Press(VK_ESCAPE);
  ASSERT_NE(main(), nullptr) << "Esc in the names box never closes the window";
  EXPECT_EQ(Text(Item(ids::编辑框_文件名)), "photo1\r\nphoto2\r\n") << "Enter breaks the line";
  EXPECT_EQ(Text(Item(ids::标签_状态)), "") << "and starts nothing";
  // The system shows no focus rectangle until the keyboard moves the focus
  // (Wine always shows them; Windows follows the request).
  EXPECT_EQ(ui_state_changes, std::vector<WPARAM>{MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL)});

  // Tab goes round every tab stop in the table's order, Shift+Tab back; the
  // disabled button and the unchecked radio buttons are no stops.
  const std::vector<int> round = {ids::选择框_同名自动改名, ids::单选框_指定路径, ids::按钮_复制到剪贴板,
                                  ids::单选框_精确搜索, ids::超级列表框_结果, ids::按钮_立即搜索,
                                  ids::按钮_停止搜索, ids::按钮_全部勾选, ids::按钮_取消全部勾选,
                                  ids::按钮_复制选定文件, ids::按钮_移动选定文件, ids::按钮_删除选定文件,
                                  ids::按钮_搜索路径, ids::选择框_搜索目录, ids::选择框_保存关键字,
                                  ids::列表框_路径, ids::编辑框_文件名};
  std::vector<int> forth, back;
  for (std::size_t i = 0; i < round.size(); ++i) {
    Press(VK_TAB);
    forth.push_back(Focus());
  }
  EXPECT_EQ(forth, round);
  EXPECT_EQ(LastUiStateChange(), MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS)) << "shown once Tab moved the focus";
  for (std::size_t i = 0; i < round.size(); ++i) {
    Press(VK_TAB, {VK_SHIFT});
    back.push_back(Focus());
  }
  std::vector<int> round_back(round.rbegin() + 1, round.rend());
  round_back.push_back(ids::编辑框_文件名);
  EXPECT_EQ(back, round_back);
  EXPECT_EQ(Text(Item(ids::编辑框_文件名)), "photo1\r\nphoto2\r\n") << "Tab typed nothing into the box";

  // The arrows choose within a radio group and store the choice at once.
  Press(VK_TAB);
  Press(VK_TAB);  // 单选框_指定路径
  Press(VK_LEFT);
  EXPECT_EQ(Focus(), ids::单选框_整个电脑);
  EXPECT_TRUE(Checked(ids::单选框_整个电脑));
  EXPECT_EQ(Option(commands::kKeyWholeComputer), "真");
  Press(VK_RIGHT);
  EXPECT_TRUE(Checked(ids::单选框_指定路径));
  EXPECT_EQ(Option(commands::kKeyWholeComputer), "假");
  Press(VK_TAB);
  Press(VK_TAB);  // 单选框_精确搜索
  Press(VK_DOWN);
  EXPECT_TRUE(Checked(ids::单选框_模糊搜索));
  EXPECT_EQ(Option(commands::kKeyExact), "假");
  Press(VK_UP);
  EXPECT_TRUE(Checked(ids::单选框_精确搜索));
  EXPECT_EQ(Option(commands::kKeyExact), "真");

  // Enter on the focused search button runs the search.
  Press(VK_TAB);
  Press(VK_TAB);
  ASSERT_EQ(Focus(), ids::按钮_立即搜索);
  Press(VK_RETURN);
  // C:\to-remove is no folder: the status goes on to say one could not be read.
  ASSERT_TRUE(testing::PumpUntil([&] { return Text(Item(ids::标签_状态)).rfind("搜索完毕！共搜索到文件2个.", 0) == 0; }, 30s,
                                 main()))
      << Text(Item(ids::标签_状态));

  // The list: arrows and Space tick, Ctrl+A selects all, Ctrl+C copies the paths as text.
  Press(VK_TAB, {VK_SHIFT});
  ASSERT_EQ(Focus(), ids::超级列表框_结果);
  ui::ListView& list = window->controls()->超级列表框_结果;
  Press(VK_HOME);
  Press(VK_SPACE);
  EXPECT_TRUE(list.RowChecked(0));
  EXPECT_FALSE(list.RowChecked(1));
  Press('A', {VK_CONTROL});
  EXPECT_EQ(list.SelectedRows(), (std::vector<int>{0, 1}));
  Press('C', {VK_CONTROL});
  const std::string both = list.RowText(0) + "\r\n" + list.RowText(1);  // UTF-8, as names are inside
  ASSERT_NE(both.find(kPhotoUtf8), std::string::npos);
  EXPECT_EQ(testing::ReadClipboardUnicode(), Utf16(both));
  EXPECT_EQ(testing::ReadClipboardText(), Ansi(Utf16(both))) << "and in code page 936 for older programs";
  Press('S', {VK_CONTROL});
  ASSERT_EQ(dialogs.save_requests.size(), 1u) << "Ctrl+S opens the export's save dialog (cancelled here)";
  EXPECT_EQ(dialogs.save_requests[0].extensions, (std::vector<std::string>{"csv", "txt"}));

  // Enter opens the focused row as a double click does; Shift+F10 opens 定位 under it.
  Press(VK_HOME);
  Press(VK_RETURN);
  ASSERT_EQ(shell.requests.size(), 1u);
  EXPECT_EQ(shell.requests[0].path, list.RowText(0));
  RECT row{LVIR_LABEL, 0, 0, 0};
  SendMessageA(Item(ids::超级列表框_结果), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  POINT under_row{row.left, row.bottom};
  ClientToScreen(Item(ids::超级列表框_结果), &under_row);
  const testing::SeenMenu results_menu = MenuOf(VK_F10, {VK_SHIFT});
  EXPECT_EQ(results_menu.items, (std::vector<std::string>{"打开文件所在位置", "批量勾选选定项目", "删除到回收站",
                                                   "撤销上次复制/移动", "导出结果列表…", "按路径排序"}));
  EXPECT_EQ(results_menu.place.left, under_row.x);
  EXPECT_EQ(results_menu.place.top, under_row.y);
  EXPECT_EQ(MenuOf(VK_APPS, {}).items, results_menu.items) << "the menu key opens it too";
  ASSERT_NE(main(), nullptr);

  // The folder list: its menu by the menu key, Delete removes the current path.
  for (int i = 0; i < 20 && Focus() != ids::列表框_路径; ++i) Press(VK_TAB);
  ASSERT_EQ(Focus(), ids::列表框_路径);
  Press(VK_DOWN);  // Wine's list box takes the first key without a selection to its first entry
  Press(VK_END);
  ASSERT_EQ(SendMessageA(Item(ids::列表框_路径), LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(MenuOf(VK_APPS, {}).items, (std::vector<std::string>{"删除当前路径", "删除全部路径"}));
  EXPECT_EQ(MenuOf(VK_F10, {VK_SHIFT}).items.size(), 2u);
  Press(VK_DELETE);
  EXPECT_EQ(PathEntries(), std::vector<std::string>{Root()});

  // Alt+F4 closes the window, which stores the folder list as it is now.
  Press(VK_F4, {VK_MENU});
  ASSERT_TRUE(testing::PumpUntil([&] { return main() == nullptr; }, 5s));
  EXPECT_EQ(folder.Read(commands::kPathFile), Root() + "\r\n");
}

// A screen reader names every control: a box or a list after the hidden
// label created before it, a button or an option by its caption.
TEST_F(KeyboardTest, EveryControlHasAnAccessibleName) {
  Open();
  const auto name_of = [](HWND control) {
    IAccessible* accessible = nullptr;
    std::string name;
    // __uuidof: the 64-bit mingw import library's IID_IAccessible holds a wrong GUID.
    const HRESULT found = AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                                     reinterpret_cast<void**>(&accessible));
    if (found != S_OK || accessible == nullptr) {
      char failure[64];
      std::snprintf(failure, sizeof failure, "(no accessible object: 0x%08lX)", static_cast<unsigned long>(found));
      return std::string(failure);
    }
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    if (accessible->get_accName(self, &text) == S_OK && text != nullptr) {
      char bytes[512] = {};
      WideCharToMultiByte(CP_ACP, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
      name = bytes;
      SysFreeString(text);
    }
    accessible->Release();
    return name;
  };
  // A box or a list by the hidden label before it, every other control by its caption.
  const std::map<int, int> named_by_label = {{ids::编辑框_文件名, ids::隐藏标签_文件名},
                                             {ids::列表框_路径, ids::隐藏标签_路径列表},
                                             {ids::超级列表框_结果, ids::隐藏标签_结果列表}};
  for (const ControlLayout& layout : MainWindowControls()) {
    HWND control = Item(layout.id);
    // The status line is named by what it says, nothing before the first search.
    if (!IsWindowVisible(control) || layout.id == ids::标签_状态) continue;
    SCOPED_TRACE(layout.id);
    const auto label = named_by_label.find(layout.id);
    const std::string expected = label != named_by_label.end() ? Text(Item(label->second)) : layout.caption;
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(name_of(control), expected);
  }
  EXPECT_EQ(name_of(Item(ids::编辑框_文件名)), "要搜索的文件名(一行一个)");
  for (int label : {ids::隐藏标签_路径列表, ids::隐藏标签_文件名, ids::隐藏标签_结果列表}) {
    EXPECT_FALSE(IsWindowVisible(Item(label))) << "not a pixel of it shows";
    EXPECT_EQ(GetWindow(Item(label), GW_HWNDNEXT), Item(label + 1)) << "lies right before the control it names";
  }
}

}  // namespace
}  // namespace quellor::app
