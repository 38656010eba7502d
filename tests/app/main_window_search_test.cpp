// The search and the result actions as the window runs them: real engine,
// real file operations, a real folder tree.
#include "app/main_window_fixture.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>

#include "search/search_run.h"
#include "support/foreign_names.h"
#include "support/row_setup.h"

namespace quellor::app {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kFinishedPrefix = "搜索完毕！共搜索到文件";

class WindowSearchTest : public MainWindowTest {
 protected:
  void SetUp() override {
    root = tree.path() / "root";
    for (const char* sub : {"a", "b", "c/sub"}) fs::create_directories(root / sub);
    for (const char* file : {"a/photo1.jpg", "b/photo2.png", "c/sub/photo1.txt", "c/other.txt"}) {
      std::ofstream(root / file) << file;
    }
  }
  // Many folders, so that a run lasts long enough to be stopped or closed.
  void GrowTree(int folders) {
    for (int i = 0; i < folders; ++i) {
      const fs::path leaf = root / "big" / ("f" + std::to_string(i / 50)) / ("d" + std::to_string(i));
      fs::create_directories(leaf);
      std::ofstream(leaf / "photo1.jpg") << i;
    }
  }
  void UseRoot() {
    dialogs.folders.push_back(root.string());
    Click(ids::按钮_搜索路径);
  }
  void TypeKeywords(const std::string& text) { SetWindowTextA(Item(ids::编辑框_文件名), text.c_str()); }
  std::string Status() const { return Text(Item(ids::标签_状态)); }
  bool Finished() const { return Status().rfind(kFinishedPrefix, 0) == 0; }
  bool WaitFinished() {
    return testing::PumpUntil([&] { return Finished(); }, 30s, main());
  }
  int RowCount() const { return static_cast<int>(SendMessageA(Item(ids::超级列表框_结果), LVM_GETITEMCOUNT, 0, 0)); }
  std::set<std::string> Rows() const {
    std::set<std::string> rows;
    for (int i = 0; i < RowCount(); ++i) rows.insert(window->controls()->超级列表框_结果.RowText(i));
    return rows;
  }
  std::string Under(const char* relative) const {
    std::string path = (root / relative).string();
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
  }

  testing::TempProgramFolder tree;
  fs::path root;
};

TEST_F(WindowSearchTest, TypedKeywordsAreSearchedOverTheFolderListAndTheRowsListed) {
  Open();
  UseRoot();
  HWND edit = Item(ids::编辑框_文件名);
  SetFocus(edit);
  for (char c : std::string("photo1\r\n\r\nphoto2")) SendMessageA(edit, WM_CHAR, c, 0);
  Click(ids::按钮_立即搜索);
  ASSERT_TRUE(WaitFinished()) << Status();
  EXPECT_EQ(Rows(), (std::set<std::string>{Under("a/photo1.jpg"), Under("b/photo2.png"), Under("c/sub/photo1.txt")}));
  EXPECT_EQ(Status(), "搜索完毕！共搜索到文件3个.");
  EXPECT_TRUE(dialogs.messages.empty());
  testing::SetRowChecked(window->controls()->超级列表框_结果, 1, true);
  SaveScreenshot("main-window-results");

  // Fuzzy, as the radio button now says.
  Click(ids::单选框_模糊搜索);
  TypeKeywords("hoto");
  Click(ids::按钮_立即搜索);
  // The status still shows the first run's end until the second writes to it.
  testing::PumpUntil([&] { return RowCount() == 3 && Status() == "搜索完毕！共搜索到文件3个."; }, 30s, main());
  EXPECT_EQ(Status(), "搜索完毕！共搜索到文件3个.");
  EXPECT_EQ(RowCount(), 3);
}

// A tree that a Linux program made, named by QUELLOR_LINUX_TREE (CTest makes
// it first): its UTF-8 names are found by Chinese keywords typed in the code
// page and listed as they are.
TEST_F(WindowSearchTest, ChineseNamesMadeOnLinuxAreFoundAndListedAsTheyAre) {
  const char* linux_tree = std::getenv("QUELLOR_LINUX_TREE");
  if (linux_tree == nullptr) GTEST_SKIP() << "QUELLOR_LINUX_TREE names no tree made on Linux";
  const std::string tree_root = testing::WinePath(linux_tree);
  auto under = [&](std::u8string_view relative) { return tree_root + "\\" + testing::Utf8(relative); };
  Open();
  dialogs.folders.push_back(tree_root);
  Click(ids::按钮_搜索路径);
  TypeKeywords("报告\r\n合同-2024\r\nIMG_0001\r\nimg_0002");
  Click(ids::按钮_立即搜索);
  ASSERT_TRUE(WaitFinished()) << Status();
  EXPECT_EQ(Rows(), (std::set<std::string>{under(u8"\u62A5\u544A.txt"), under(u8"\u5408\u540C-2024.pdf"),
                                           under(u8"IMG_0001.jpg"), under(u8"\u7167\u7247\\IMG_0002.JPG")}))
      << "listed in UTF-8, as every name inside the program";
  SaveScreenshot("main-window-chinese-names-made-on-linux");
}

// Wine says NTFS of every drive, but no drive's sectors can be read: the
// whole-computer search walks the drive, finds what a search of its root
// folder finds, and its end says which drive was walked and why.
TEST_F(WindowSearchTest, AWholeComputerDriveWhoseIndexCannotBeReadIsWalkedAndTheEndSaysSo) {
  whole_computer_roots = [] { return std::vector<std::string>{"C:"}; };
  Open();
  TypeKeywords("notepad.exe\r\nregedit\r\n");
  Click(ids::单选框_整个电脑);
  Click(ids::按钮_立即搜索);
  ASSERT_TRUE(WaitFinished()) << Status();
  const std::string note = "C:按文件夹搜索（磁盘索引无法读取）";
  EXPECT_TRUE(Status().ends_with(note)) << Status();
  const std::set<std::string> whole = Rows();
  EXPECT_TRUE(whole.contains("C:\\windows\\notepad.exe")) << whole.size();
  EXPECT_TRUE(dialogs.messages.empty()) << "an elevated process is not asked";
  SaveScreenshot("main-window-whole-computer-walked");

  Click(ids::单选框_指定路径);
  dialogs.folders.push_back("C:\\");
  Click(ids::按钮_搜索路径);
  Click(ids::按钮_立即搜索);
  ASSERT_TRUE(testing::PumpUntil([&] { return Finished() && !Status().ends_with(note); }, 30s, main())) << Status();
  EXPECT_EQ(Rows(), whole);
}

// A search and a close while a long saved list still fills the box: both
// take every name, and the list is stored exactly as it was read.
TEST_F(WindowSearchTest, ALongSavedListIsSearchedAndStoredWholeWhileItFillsTheBox) {
  std::string names;
  for (int i = 0; i < 60000; ++i) names += "name" + std::to_string(i) + "\r\n";
  names += "photo2\r\nphoto1\r\n";
  folder.Write(commands::kConfigFile, "[zhuce]\r\n保存关键字=真\r\n");
  folder.Write(commands::kKeywordFile, names);
  Open();
  UseRoot();
  ASSERT_LT(SendMessageA(Item(ids::编辑框_文件名), EM_GETLINECOUNT, 0, 0), 60003) << "still filling";
  Click(ids::按钮_立即搜索);
  ASSERT_TRUE(WaitFinished()) << Status();
  EXPECT_EQ(Rows(), (std::set<std::string>{Under("b/photo2.png"), Under("a/photo1.jpg"), Under("c/sub/photo1.txt")}));
  Close();
  EXPECT_EQ(folder.Read(commands::kKeywordFile), names);
}

TEST_F(WindowSearchTest, StopEndsTheRunAndTheListGrowsNoFurther) {
  GrowTree(1000);
  Open();
  UseRoot();
  TypeKeywords("photo1\r\nphoto2\r\nnothing");
  {
    // The run cannot walk before the stop, however fast the machine.
    const std::lock_guard<std::mutex> hold_walk(search::SearchLock());
    Click(ids::按钮_立即搜索);
    Click(ids::按钮_停止搜索);
  }
  EXPECT_EQ(Text(Item(ids::按钮_停止搜索)), "已停止");
  ASSERT_TRUE(WaitFinished()) << Status();
  // Every row comes before the finished text: none may follow it.
  const int rows = RowCount();
  EXPECT_LT(rows, 1502) << "stopped before the end";
  EXPECT_EQ(Status(), std::string(kFinishedPrefix) + std::to_string(rows) + "个.");
  Pump(300ms);
  EXPECT_EQ(RowCount(), rows);
}

TEST_F(WindowSearchTest, ClosingDuringARunStopsItAndStoresThePathsTwentyTimesOver) {
  GrowTree(600);
  for (int i = 0; i < 20; ++i) {
    SCOPED_TRACE(i);
    Open();
    UseRoot();
    TypeKeywords("photo1\r\nphoto2");
    Click(ids::按钮_立即搜索);
    Pump(std::chrono::milliseconds(i * 5));
    Close();
    window.reset();
    EXPECT_EQ(folder.Read(commands::kPathFile), root.string() + "\r\n");
    fs::remove(folder.path() / std::string(commands::kPathFile));
  }
}

}  // namespace
}  // namespace quellor::app
