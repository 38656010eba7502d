#include "commands/search_paths.h"

#include <gtest/gtest.h>

#include "platform/ini.h"
#include "support/memory_controls.h"
#include "support/scripted_dialogs.h"
#include "support/temp_program_folder.h"

namespace quellor::commands {
namespace {

using Entries = std::vector<std::string>;

class SearchPathsTest : public ::testing::Test {
 protected:
  testing::TempProgramFolder folder;
  testing::MemoryControls memory;
  testing::ScriptedDialogs dialogs;
  const text::Charset gbk = text::Charset::Gbk();
};

TEST_F(SearchPathsTest, BrowsedFoldersLoseOneTrailingBackslashAndRepeatFreely) {
  dialogs.folders = {"C:\\", "D:\\Photos", "D:\\Photos", "E:\\a\\\\", "F:\\\xD6\\"};
  for (int i = 0; i < 5; ++i) AddSearchPath(memory.controls(), dialogs, gbk);
  EXPECT_EQ(memory.列表框_路径.Entries(), (Entries{"C:", "D:\\Photos", "D:\\Photos", "E:\\a\\", "F:\\\xD6\\"}));
  ASSERT_EQ(dialogs.folder_requests.size(), 5u);
  EXPECT_EQ(dialogs.folder_requests[0].title, "选择目录");
  EXPECT_EQ(dialogs.folder_requests[0].style, ui::FolderChooserStyle::SearchFolder);
}

TEST_F(SearchPathsTest, CancelledBrowserAddsNothingAndSaysNothing) {
  AddSearchPath(memory.controls(), dialogs, gbk);
  EXPECT_EQ(memory.列表框_路径.Count(), 0);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SearchPathsTest, DroppedItemsAreAppendedInDropOrder) {
  memory.列表框_路径.Append("C:\\kept\\");
  AddDroppedPaths(memory.controls(), gbk, {"D:\\b\\", "D:\\a", "D:\\a\\file.txt", "E:\\", "F:\\\xD6\\"});
  EXPECT_EQ(memory.列表框_路径.Entries(), (Entries{"C:\\kept\\", "D:\\b", "D:\\a", "D:\\a\\file.txt", "E:", "F:\\\xD6\\"}));
}

TEST_F(SearchPathsTest, DeletingRemovesTheSelectedEntryOrEveryEntry) {
  DeleteCurrentPath(memory.controls());
  DeleteAllPaths(memory.controls());
  for (const char* e : {"a", "b", "c"}) memory.列表框_路径.Append(e);
  DeleteCurrentPath(memory.controls());
  EXPECT_EQ(memory.列表框_路径.Count(), 3) << "no selection, nothing removed";
  memory.列表框_路径.Select(1);
  DeleteCurrentPath(memory.controls());
  EXPECT_EQ(memory.列表框_路径.Entries(), (Entries{"a", "c"}));
  DeleteAllPaths(memory.controls());
  EXPECT_EQ(memory.列表框_路径.Count(), 0);
}

TEST_F(SearchPathsTest, SearchAreaRadiosStoreTheModeAndDriveTheFolderButtonButKeepEntries) {
  const std::string config = folder.location().FilePath(kConfigFile);
  memory.列表框_路径.Append("C:\\a");
  SelectWholeComputer(memory.controls(), folder.location());
  EXPECT_TRUE(memory.单选框_整个电脑.Checked());
  EXPECT_FALSE(memory.单选框_指定路径.Checked());
  EXPECT_FALSE(memory.按钮_搜索路径.Enabled());
  EXPECT_EQ(platform::ReadIniValue(config, kConfigSection, kKeyWholeComputer), kTrue);

  SelectChosenFolders(memory.controls(), folder.location());
  EXPECT_FALSE(memory.单选框_整个电脑.Checked());
  EXPECT_TRUE(memory.单选框_指定路径.Checked());
  EXPECT_TRUE(memory.按钮_搜索路径.Enabled());
  EXPECT_EQ(platform::ReadIniValue(config, kConfigSection, kKeyWholeComputer), kFalse);
  EXPECT_EQ(memory.列表框_路径.Entries(), (Entries{"C:\\a"}));
}

}  // namespace
}  // namespace quellor::commands
