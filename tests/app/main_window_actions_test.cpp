// The result actions as the window runs them, with real files.
#include "app/main_window_fixture.h"
#include "support/row_setup.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace quellor::app {
namespace {

namespace fs = std::filesystem;

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
  EXPECT_EQ(Text(Item(ids::标签_状态)), "复制完毕！");
  EXPECT_TRUE(dialogs.messages.empty());

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

}  // namespace
}  // namespace quellor::app
