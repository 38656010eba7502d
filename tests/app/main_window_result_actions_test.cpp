// The result actions on the real window, over the rows of a real search:
// buttons and the 定位 menu reached by window messages, real files, the real
// clipboard, the report file beside the program, and the window's own
// message boxes answered while they are open.
#include "app/main_window_fixture.h"

#include <commctrl.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>

#include "commands/not_found_report.h"
#include "platform/clipboard_read_back.h"
#include "platform/file_io.h"
#include "platform/win32/wide_text_win32.h"
#include "support/recording_shell.h"
#include "support/row_setup.h"

namespace quellor::app {
namespace {

namespace fs = std::filesystem;

// "照片" in GBK, whatever the build's literal charset.
const std::string kPhotoGbk = "\xD5\xD5\xC6\xAC";

using testing::RecordingShell;

class ResultActionsWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    root = tree.path() / "root";
    for (const char* sub : {"a", "b", "c"}) fs::create_directories(root / sub);
    for (const char* file : {"a/photo1.jpg", "b/photo2.png", "c/photo3.txt"}) std::ofstream(root / file) << file;
    // A Chinese name, through the ANSI entry point as the program names it.
    const std::string chinese = Under("c") + "\\" + kPhotoGbk + "1.jpg";
    HANDLE file = CreateFileA(chinese.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "zp", 2, &written, nullptr);
    CloseHandle(file);
  }
  // The window with the test's shell (the system's where `system_shell`), and
  // its own dialogs or the scripted ones.
  void OpenWindow(bool real_dialogs = false) { Open(system_shell ? nullptr : &shell, real_dialogs); }
  // Every file of the tree found by an exact search over it: four rows.
  void SearchTree() {
    OpenWindow();
    dialogs.folders.push_back(root.string());
    Click(ids::按钮_搜索路径);
    SetWindowTextA(Item(ids::编辑框_文件名), ("photo1\r\nphoto2\r\nphoto3\r\n" + kPhotoGbk + "1").c_str());
    Click(ids::按钮_立即搜索);
    ASSERT_TRUE(testing::PumpUntil([&] { return Rows().size() == 4 && Status() == "搜索完毕！共搜索到文件4个."; }, 30s,
                                   main()))
        << Status();
  }
  // As SearchTree, with the window's own message boxes: the folder list
  // comes from path.txt, which the window reads at start.
  void SearchTreeWithOwnDialogs() {
    folder.Write(commands::kPathFile, root.string() + "\r\n");
    OpenWindow(true);
    SetWindowTextA(Item(ids::编辑框_文件名), "photo1\r\nphoto2\r\nphoto3");
    Click(ids::按钮_立即搜索);
    ASSERT_TRUE(testing::PumpUntil([&] { return Rows().size() == 3 && Status() == "搜索完毕！共搜索到文件3个."; }, 30s,
                                   main()))
        << Status();
  }

  std::string Under(const std::string& relative) const {
    std::string path = (root / relative).string();
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
  }
  std::string Status() const { return Text(Item(ids::标签_状态)); }
  HWND List() const { return Item(ids::超级列表框_结果); }
  // The rows as the list view holds them, in list order.
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    const int count = ListView_GetItemCount(List());
    for (int i = 0; i < count; ++i) {
      char text[1024] = {};
      ListView_GetItemText(List(), i, 0, text, sizeof text);
      rows.emplace_back(text);
    }
    return rows;
  }
  int RowOf(const std::string& path) const {
    const std::vector<std::string> rows = Rows();
    const auto found = std::find(rows.begin(), rows.end(), path);
    return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
  }
  std::set<std::string> CheckedRows() const {
    std::set<std::string> checked;
    const std::vector<std::string> rows = Rows();
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
      if (ListView_GetCheckState(List(), i)) checked.insert(rows[static_cast<std::size_t>(i)]);
    }
    return checked;
  }
  void Tick(const std::string& path) {
    const int row = RowOf(path);
    ASSERT_GE(row, 0) << path;
    ListView_SetCheckState(List(), row, TRUE);
  }
  void Select(const std::string& path) {
    const int row = RowOf(path);
    ASSERT_GE(row, 0) << path;
    ListView_SetItemState(List(), row, LVIS_SELECTED, LVIS_SELECTED);
  }
  static std::optional<std::string> Contents(const fs::path& file) {
    return platform::ReadWholeFile(testing::PathText(file));
  }
  // A path as the list gives it to an ANSI reader (LVM_GETITEMTEXTA): in the code page.
  static std::optional<std::string> Contents(const std::string& ansi_path) {
    return platform::ReadWholeFile(platform::win32::Utf8Name(platform::win32::WideText(ansi_path).c_str()));
  }
  // In UTF-8, as the program names it.
  std::string ReportPath() const { return folder.Root() + "\\" + commands::kNotFoundReportName; }
  std::optional<std::string> ReportContents() const { return platform::ReadWholeFile(ReportPath()); }

  testing::TempProgramFolder tree;
  testing::TempProgramFolder target_parent;
  fs::path root;
  RecordingShell shell;
  bool system_shell = false;
};

// ---- ticks ----------------------------------------------------------------

// Ends a pop-up menu that no key reached, so that a failure cannot hang the run.
void CALLBACK EndMenuOnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  EndMenu();
}

TEST_F(ResultActionsWindowTest, TickAllNoneAndTheSelectedRowsFromTheMenu) {
  SearchTree();
  const std::vector<std::string> rows = Rows();
  Click(ids::按钮_全部勾选);
  EXPECT_EQ(CheckedRows(), std::set<std::string>(rows.begin(), rows.end()));
  Click(ids::按钮_取消全部勾选);
  EXPECT_TRUE(CheckedRows().empty());

  // A right press on the list opens 定位; its second item ticks the selected rows.
  Tick(Under("a/photo1.jpg"));
  Select(Under("b/photo2.png"));
  Select(Under("c/photo3.txt"));
  for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageA(List(), WM_KEYDOWN, key, 0);
  const UINT_PTR safety = SetTimer(nullptr, 0, 3000, &EndMenuOnTimer);
  SendMessageA(List(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(40, 40));
  KillTimer(nullptr, safety);
  const std::set<std::string> ticked{Under("a/photo1.jpg"), Under("b/photo2.png"), Under("c/photo3.txt")};
  testing::PumpUntil([&] { return CheckedRows() == ticked; }, 5s, main());
  EXPECT_EQ(CheckedRows(), ticked)
      << "ticked before, plus the selected rows";
  EXPECT_TRUE(shell.requests.empty()) << "the first item (open the folder) was not chosen";
}

TEST_F(ResultActionsWindowTest, DoubleClickAndTheMenuOpenTheSelectedRowThroughTheShell) {
  SearchTree();
  Select(Under("b/photo2.png"));
  NMITEMACTIVATE click{};
  click.hdr.hwndFrom = List();
  click.hdr.idFrom = ids::超级列表框_结果;
  click.hdr.code = NM_DBLCLK;
  click.iItem = RowOf(Under("b/photo2.png"));
  SendMessageA(main(), WM_NOTIFY, ids::超级列表框_结果, reinterpret_cast<LPARAM>(&click));
  SendMessageA(main(), WM_COMMAND, MAKEWPARAM(ids::结果菜单_打开文件所在位置, 0), 0);
  ASSERT_EQ(shell.requests.size(), 2u);
  EXPECT_EQ(shell.requests[0].path, Under("b/photo2.png"));
  EXPECT_FALSE(shell.requests[0].select_in_folder);
  EXPECT_EQ(shell.requests[1].path, Under("b/photo2.png"));
  EXPECT_TRUE(shell.requests[1].select_in_folder);
}

// ---- copy and move ----------------------------------------------------------

// The rename box as the window's check box holds it reaches the copy.
TEST_F(ResultActionsWindowTest, CopyWithRenameKeepsTheOldFileAndStoresTheCopyUnderTheNextFreeName) {
  SearchTree();
  const fs::path target = target_parent.path() / "target";
  fs::create_directories(target);
  std::ofstream(target / "photo1.jpg") << "old";
  Tick(Under("a/photo1.jpg"));
  Tick(Under("b/photo2.png"));
  Click(ids::选择框_同名自动改名);
  ASSERT_TRUE(Checked(ids::选择框_同名自动改名));
  dialogs.folders.push_back(target.string());

  Click(ids::按钮_复制选定文件);
  EXPECT_EQ(Contents(target / "photo1.jpg"), "old") << "the old file is kept";
  EXPECT_EQ(Contents(target / "photo1 (2).jpg"), "a/photo1.jpg");
  EXPECT_EQ(Contents(target / "photo2.png"), "b/photo2.png");
  EXPECT_EQ(std::distance(fs::directory_iterator(target), fs::directory_iterator()), 3)
      << "nothing else: no temporary file left behind";
  EXPECT_EQ(Status(), "复制完毕！");
  EXPECT_TRUE(dialogs.messages.empty());
  SaveScreenshot("result-actions-after-copy");
}

TEST_F(ResultActionsWindowTest, MoveTakesTheTickedItemsAndLeavesTheirRows) {
  SearchTree();
  const fs::path target = target_parent.path() / "moved";
  fs::create_directories(target);
  const std::vector<std::string> before = Rows();
  Tick(Under("b/photo2.png"));
  Tick(Under("c") + "\\" + kPhotoGbk + "1.jpg");
  dialogs.folders.push_back(target.string());

  Click(ids::按钮_移动选定文件);
  EXPECT_EQ(Status(), "移动完毕！");
  EXPECT_EQ(Rows(), before) << "a moved row keeps showing where the item was";
  EXPECT_FALSE(fs::exists(root / "b/photo2.png"));
  EXPECT_EQ(Contents(target / "photo2.png"), "b/photo2.png");
  EXPECT_EQ(Contents(target.string() + "\\" + kPhotoGbk + "1.jpg"), "zp");
  EXPECT_EQ(GetFileAttributesA((Under("c") + "\\" + kPhotoGbk + "1.jpg").c_str()), INVALID_FILE_ATTRIBUTES);
}

// ---- the recycle bin and the undo ---------------------------------------------

class RecycleWindowTest : public ResultActionsWindowTest {
 protected:
  void SetUp() override {
    // Wine's recycle bin is the desktop's trash under XDG_DATA_HOME, which
    // the test run points into the build folder, away from the user's own.
    const char* data_home = std::getenv("XDG_DATA_HOME");
    if (data_home == nullptr) GTEST_SKIP() << "XDG_DATA_HOME is not set: Wine would use the user's own trash";
    trash = fs::path(testing::WinePath(std::string(data_home) + "/Trash/files"));
    system_shell = true;
    ResultActionsWindowTest::SetUp();
  }
  // Ticks `paths`, presses Delete (Shift+Delete when `for_good`) answering
  // the question with OK, and waits for the status line's end text.
  void DeleteWithKey(const std::vector<std::string>& paths, bool for_good) {
    for (const std::string& path : paths) Tick(path);
    dialogs.answers.push_back(ui::MessageAnswer::Ok);
    SetForegroundWindow(main());
    SetFocus(List());
    ASSERT_TRUE(testing::PressKeys(VK_DELETE, for_good ? std::initializer_list<WORD>{VK_SHIFT}
                                                       : std::initializer_list<WORD>{}));
    ASSERT_TRUE(testing::PumpUntil([&] { return Status().find("完毕") != std::string::npos; }, 10s, main()))
        << Status();
  }
  // Takes `name` out of the trash, so that it goes in again under its own name.
  void ClearFromTrash(const std::string& name) const {
    fs::remove(trash / name);
    fs::remove(trash.parent_path() / "info" / (name + ".trashinfo"));
  }
  fs::path trash;
};

TEST_F(RecycleWindowTest, DeleteMovesTheTickedFilesToTheTrash) {
  SearchTree();
  ClearFromTrash("photo1.jpg");
  ClearFromTrash("photo2.png");
  DeleteWithKey({Under("a/photo1.jpg"), Under("b/photo2.png")}, false);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "确定要把勾选的 2 个文件移到回收站吗？");
  EXPECT_EQ(Status(), "移到回收站完毕！");
  EXPECT_FALSE(fs::exists(root / "a/photo1.jpg"));
  EXPECT_EQ(Contents(trash / "photo1.jpg"), "a/photo1.jpg");
  EXPECT_EQ(Contents(trash / "photo2.png"), "b/photo2.png");
  EXPECT_EQ(RowOf(Under("a/photo1.jpg")), -1);
  EXPECT_EQ(Rows().size(), 2u);
}

TEST_F(RecycleWindowTest, ShiftDeleteDeletesForGood) {
  SearchTree();
  ClearFromTrash("photo3.txt");
  DeleteWithKey({Under("c/photo3.txt")}, true);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "确定要永久删除勾选的 1 个文件吗？删除后不可恢复！");
  EXPECT_EQ(Status(), "删除完毕！");
  EXPECT_FALSE(fs::exists(root / "c/photo3.txt"));
  EXPECT_FALSE(fs::exists(trash / "photo3.txt"));
}

// Two names that differ only by letter case, made on Linux (Windows takes
// them for one name): Delete never sends the other one to the bin.
TEST_F(RecycleWindowTest, OfTwoNamesDifferingOnlyByCaseTheOtherIsNeverTaken) {
  const char* linux_tree = std::getenv("QUELLOR_LINUX_TREE");
  if (linux_tree == nullptr) GTEST_SKIP() << "QUELLOR_LINUX_TREE names no tree made on Linux";
  const fs::path folder_made = fs::path(testing::WinePath(linux_tree)) / "case";
  ClearFromTrash("Note.txt");
  ClearFromTrash("note.txt");
  OpenWindow();
  dialogs.folders.push_back(testing::PathText(folder_made));
  Click(ids::按钮_搜索路径);
  SetWindowTextA(Item(ids::编辑框_文件名), "Note");
  Click(ids::按钮_立即搜索);
  ASSERT_TRUE(testing::PumpUntil([&] { return Status() == "搜索完毕！共搜索到文件2个."; }, 30s, main())) << Status();
  DeleteWithKey({testing::PathText(folder_made / "Note.txt")}, false);
  EXPECT_EQ(Status(), "移到回收站完毕！");
  EXPECT_EQ(Contents(trash / "Note.txt"), "upper");
  EXPECT_EQ(Contents(folder_made / "note.txt"), "lower");
  EXPECT_EQ(Rows(), (std::vector<std::string>{testing::PathText(folder_made / "note.txt")}));
}

// The menu's undo takes a move back from the journal beside the program, in
// a window started after the one that moved was closed. An item changed at
// its new place meanwhile is left there, and so is one whose old place now
// holds a name differing only by case (one name to Windows): both counted.
TEST_F(ResultActionsWindowTest, TheMenusUndoPutsMovedFilesBackAfterARestartButLeavesWhatChanged) {
  SearchTree();
  const fs::path target = target_parent.path() / "moved";
  fs::create_directories(target);
  for (const char* file : {"a/photo1.jpg", "b/photo2.png", "c/photo3.txt"}) Tick(Under(file));
  dialogs.folders.push_back(target.string());
  Click(ids::按钮_移动选定文件);
  ASSERT_EQ(Status(), "移动完毕！");
  Close();
  std::ofstream(target / "photo2.png", std::ios::binary | std::ios::app) << " edited";
  std::ofstream(root / "a/PHOTO1.JPG") << "new";

  OpenWindow();
  dialogs.answers.push_back(ui::MessageAnswer::Ok);
  SendMessageA(main(), WM_COMMAND, MAKEWPARAM(ids::结果菜单_撤销上次复制移动, 0), 0);
  EXPECT_EQ(dialogs.messages.back().text, "确定要撤销上次的移动吗？这批共 3 项，将移回原处。");
  EXPECT_EQ(Status(), "已撤销 1 个；2 个未撤销（目标处的文件已改变）");
  EXPECT_EQ(Contents(root / "c/photo3.txt"), "c/photo3.txt");
  EXPECT_EQ(Contents(target / "photo2.png"), "b/photo2.png edited");
  EXPECT_FALSE(fs::exists(root / "b/photo2.png"));
  EXPECT_EQ(Contents(target / "photo1.jpg"), "a/photo1.jpg");
  EXPECT_EQ(Contents(root / "a/PHOTO1.JPG"), "new");
}

// The undo of a copy removes the copies it placed and nothing else.
TEST_F(ResultActionsWindowTest, TheMenusUndoRemovesTheCopiesOfTheLastCopy) {
  SearchTree();
  const fs::path target = target_parent.path() / "copies";
  fs::create_directories(target);
  std::ofstream(target / "kept.txt") << "kept";
  Tick(Under("a/photo1.jpg"));
  dialogs.folders.push_back(target.string());
  Click(ids::按钮_复制选定文件);
  ASSERT_EQ(Status(), "复制完毕！");
  ASSERT_EQ(Contents(target / "photo1.jpg"), "a/photo1.jpg");

  dialogs.answers.push_back(ui::MessageAnswer::Ok);
  SendMessageA(main(), WM_COMMAND, MAKEWPARAM(ids::结果菜单_撤销上次复制移动, 0), 0);
  EXPECT_EQ(dialogs.messages.back().text, "确定要撤销上次的复制吗？这批共 1 项，复制出的文件将被删除。");
  EXPECT_EQ(Status(), "已撤销 1 个");
  EXPECT_FALSE(fs::exists(target / "photo1.jpg"));
  EXPECT_EQ(Contents(target / "kept.txt"), "kept");
  EXPECT_EQ(Contents(root / "a/photo1.jpg"), "a/photo1.jpg");
}

// ---- a running action ----------------------------------------------------------

void CALLBACK CloseOnTimer(HWND target, UINT, UINT_PTR id, DWORD) {
  KillTimer(target, id);
  PostMessageA(target, WM_CLOSE, 0, 0);
}

class WindowActionsTest : public MainWindowTest {
 protected:
  // Rows naming `count` real files, all called photo1.jpg, in folders of their own.
  void ListFiles(int count) {
    std::vector<std::string> rows;
    for (int i = 0; i < count; ++i) {
      const fs::path leaf = files.path() / ("d" + std::to_string(i));
      fs::create_directories(leaf);
      std::ofstream(leaf / "photo1.jpg") << i;
      rows.push_back((leaf / "photo1.jpg").string());
    }
    testing::AppendRows(window->controls()->超级列表框_结果, rows);
  }
  int RowCount() const { return static_cast<int>(SendMessageA(Item(ids::超级列表框_结果), LVM_GETITEMCOUNT, 0, 0)); }
  int CheckedCount() const {
    int checked = 0;
    for (int i = 0; i < RowCount(); ++i) checked += window->controls()->超级列表框_结果.RowChecked(i) ? 1 : 0;
    return checked;
  }
  static long FilesIn(const fs::path& folder) {
    return static_cast<long>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
  }

  testing::TempProgramFolder files;
};

// Copy, move and delete let the window handle its events row by row: the
// search button and the other result actions are ignored meanwhile, and a
// close ends the action after its current row, then the window goes.
TEST_F(WindowActionsTest, CopyIgnoresOtherCommandsMeanwhileAndEndsEarlyOnClose) {
  Open();
  const int rows = 30;
  ListFiles(rows);
  Click(ids::按钮_全部勾选);
  Click(ids::选择框_同名自动改名);  // rename on a clash: each row leaves a file of its own

  const fs::path first = files.path() / "first";
  fs::create_directories(first);
  dialogs.folders.push_back(first.string());
  PostMessageA(main(), WM_COMMAND, MAKEWPARAM(ids::按钮_立即搜索, BN_CLICKED),
               reinterpret_cast<LPARAM>(Item(ids::按钮_立即搜索)));
  PostMessageA(main(), WM_COMMAND, MAKEWPARAM(ids::按钮_取消全部勾选, BN_CLICKED), reinterpret_cast<LPARAM>(Item(ids::按钮_取消全部勾选)));
  Click(ids::按钮_复制选定文件);
  EXPECT_EQ(RowCount(), rows) << "no search emptied the list";
  EXPECT_EQ(CheckedCount(), rows) << "no uncheck ran meanwhile";
  EXPECT_EQ(FilesIn(first), rows);

  const fs::path second = files.path() / "second";
  fs::create_directories(second);
  dialogs.folders.push_back(second.string());
  SendMessageA(Item(ids::列表框_路径), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("C:\\kept"));
  SetTimer(main(), 77, 1, &CloseOnTimer);
  SendMessageA(Item(ids::按钮_复制选定文件), BM_CLICK, 0, 0);
  EXPECT_EQ(main(), nullptr) << "the window went once the copy ended";
  EXPECT_LT(FilesIn(second), rows) << "the copy ended early";
  EXPECT_EQ(folder.Read(commands::kPathFile), "C:\\kept\r\n");
}

// ---- not-found report ---------------------------------------------------------

// The names box's text reaches the report, which is written in the code page.
TEST_F(ResultActionsWindowTest, NotFoundReportBesideTheProgramHoldsTheMissingKeywordsThenIsOpened) {
  SearchTree();
  ASSERT_TRUE(IsWindowEnabled(Item(ids::按钮_未搜索到文件)));
  SetWindowTextA(Item(ids::编辑框_文件名), ("photo9\r\nphoto2\r\n" + kPhotoGbk + "9\r\n" + kPhotoGbk + "1\r\n").c_str());
  Click(ids::按钮_未搜索到文件);
  EXPECT_EQ(ReportContents(), "photo9\r\n" + kPhotoGbk + "9\r\n") << "in GBK, as always";
  ASSERT_EQ(shell.requests.size(), 1u);
  EXPECT_EQ(shell.requests[0].path, ReportPath());
  EXPECT_TRUE(dialogs.messages.empty());
}

// ---- clipboard --------------------------------------------------------------

std::vector<UINT> ClipboardFormats() {
  std::vector<UINT> formats;
  if (!testing::OpenClipboardPatiently()) return formats;
  for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
    formats.push_back(format);
  }
  CloseClipboard();
  return formats;
}

TEST_F(ResultActionsWindowTest, ClipboardGetsTheTickedPathsAsAnAnsiDropListByteForByte) {
  SearchTree();
  const std::string chinese = Under("c") + "\\" + kPhotoGbk + "1.jpg";
  Tick(chinese);
  Tick(Under("a/photo1.jpg"));
  std::string expected = std::string("\x14\0\0\0", 4) + std::string(16, '\0');  // pFiles 20, pt, fNC, fWide 0
  for (const std::string& row : Rows()) {  // list order
    if (row == chinese || row == Under("a/photo1.jpg")) expected += row + '\0';
  }
  expected += '\0';

  Click(ids::按钮_复制到剪贴板);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  const std::string block = testing::ReadClipboardDropList();
  EXPECT_EQ(block, expected);
  EXPECT_NE(block.find(kPhotoGbk), std::string::npos) << "the Chinese path as its GBK bytes";
  EXPECT_EQ(ClipboardFormats(), std::vector<UINT>{CF_HDROP}) << "the file list alone";
}

// ---- the window's own message boxes and folder chooser ---------------------------------------------

// What a timer saw of the message box or folder chooser it answered.
struct SeenBox {
  bool found = false;
  std::string caption;
  HWND owner = nullptr;
  int answer = IDOK;
  // Readies the dialog for the answer; false: not yet, try at the next tick.
  std::function<bool(HWND box)> prepare;
  int tries = 0;
  bool gave_up = false;  // never ready: cancelled instead
};
SeenBox* g_box = nullptr;

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) && testing::ClassName(window) == "#32770") {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = nullptr;
  EnumWindows(&FindBox, reinterpret_cast<LPARAM>(&box));
  if (box == nullptr || g_box == nullptr || g_box->found) return;
  int answer = g_box->answer;
  if (g_box->prepare && !g_box->prepare(box)) {
    if (++g_box->tries < 100) return;
    g_box->gave_up = true;
    answer = IDCANCEL;
  }
  KillTimer(nullptr, timer);
  g_box->found = true;
  g_box->caption = testing::Text(box);
  g_box->owner = GetWindow(box, GW_OWNER);
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
}

BOOL CALLBACK FindTree(HWND child, LPARAM param) {
  if (testing::ClassName(child) != WC_TREEVIEWA) return TRUE;
  *reinterpret_cast<HWND*>(param) = child;
  return FALSE;
}

// Selects `folder` in a folder chooser; true once the tree shows it selected.
bool SelectInChooser(HWND chooser, const std::string& folder) {
  HWND tree = nullptr;
  EnumChildWindows(chooser, &FindTree, reinterpret_cast<LPARAM>(&tree));
  if (tree == nullptr || TreeView_GetCount(tree) == 0) return false;
  SendMessageA(chooser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
  HTREEITEM selected = TreeView_GetSelection(tree);
  if (selected == nullptr) return false;
  char text[MAX_PATH] = {};
  TVITEMA item{};
  item.mask = TVIF_TEXT;
  item.hItem = selected;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return false;
  const std::string tail = std::string("\\") + text;
  return folder.size() >= tail.size() && folder.compare(folder.size() - tail.size(), std::string::npos, tail) == 0;
}

class OwnDialogsTest : public ResultActionsWindowTest {
 protected:
  void TearDown() override {
    g_box = nullptr;
    ResultActionsWindowTest::TearDown();
  }
  // Clicks `button` and answers the dialog it opens with `answer`.
  SeenBox ClickAndAnswer(int button, int answer, std::function<bool(HWND box)> prepare = nullptr) {
    SeenBox seen;
    seen.answer = answer;
    seen.prepare = std::move(prepare);
    g_box = &seen;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &AnswerBox);
    Click(button);
    KillTimer(nullptr, timer);
    g_box = nullptr;
    return seen;
  }
};

// The delete asks in the window's own box; a file held open without delete
// sharing survives, and its row stays ticked.
TEST_F(OwnDialogsTest, DeleteAskedInTheWindowsOwnBoxTakesWhatItCanAndKeepsTheRowOfWhatSurvived) {
  SearchTreeWithOwnDialogs();
  Tick(Under("a/photo1.jpg"));
  Tick(Under("b/photo2.png"));
  HANDLE held = CreateFileA(Under("b/photo2.png").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const SeenBox confirmed = ClickAndAnswer(ids::按钮_删除选定文件, IDOK);
  CloseHandle(held);
  ASSERT_TRUE(confirmed.found);
  EXPECT_EQ(confirmed.caption, "确定删除吗？");
  EXPECT_FALSE(fs::exists(root / "a/photo1.jpg"));
  EXPECT_TRUE(fs::exists(root / "b/photo2.png"));
  EXPECT_EQ(RowOf(Under("a/photo1.jpg")), -1);
  EXPECT_EQ(CheckedRows(), std::set<std::string>{Under("b/photo2.png")}) << "kept, still ticked";
  EXPECT_EQ(Status(), "删除完毕！其中 1 项删除失败。");
}

// The copy's chooser is the window's own, owned by it, and a folder selected
// in its tree is where the copy goes.
TEST_F(OwnDialogsTest, CopyGoesWhereTheWindowsOwnChooserPoints) {
  SearchTreeWithOwnDialogs();
  const fs::path target = target_parent.path() / "picked";
  fs::create_directories(target);
  Tick(Under("a/photo1.jpg"));
  const std::string picked = target.string();
  const SeenBox chosen =
      ClickAndAnswer(ids::按钮_复制选定文件, IDOK, [&](HWND chooser) { return SelectInChooser(chooser, picked); });
  ASSERT_TRUE(chosen.found);
  ASSERT_FALSE(chosen.gave_up) << "the chooser never showed " << picked << " selected";
  EXPECT_EQ(chosen.owner, main());
  EXPECT_EQ(Contents(target / "photo1.jpg"), "a/photo1.jpg");
  EXPECT_EQ(Status(), "复制完毕！");
}

}  // namespace
}  // namespace quellor::app
