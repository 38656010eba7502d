// The window's undo of the last copy or move, over the journal beside the
// program and the real file system.
#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include "commands/action_fixture.h"

namespace quellor::testing {
namespace {

class UndoTransferTest : public ActionTest {
 protected:
  std::string Status() const { return memory_.标签_状态.Caption(); }
};

TEST_F(UndoTransferTest, WithoutAJournalThereIsNothingToUndoAndNothingIsAsked) {
  commands::UndoLastTransfer(controls(), services_);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, "没有可以撤销的复制或移动。");
  EXPECT_EQ(dialogs_.messages[0].buttons, ui::MessageButtons::Ok);
}

// A move of two files taken back: one goes home; the other's old place holds
// a new file, which is never overwritten, so it is left and the reason told.
TEST_F(UndoTransferTest, AMoveIsTakenBackWhereItsOldPlaceIsFree) {
  MakeFile("src/a.txt", "a");
  MakeFile("src/b.txt", "b");
  MakeFolder("out");
  AddRows({"src/a.txt", "src/b.txt"}, {0, 1});
  dialogs_.folders.push_back(Path("out"));
  commands::TransferChecked(controls(), services_, commands::TransferKind::Move);
  ASSERT_EQ(Status(), "移动完毕！");
  MakeFile("src/b.txt", "new b");

  dialogs_.answers.push_back(ui::MessageAnswer::Ok);
  commands::UndoLastTransfer(controls(), services_);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, "确定要撤销上次的移动吗？这批共 2 项，将移回原处。");
  EXPECT_EQ(Content("src/a.txt"), "a");
  EXPECT_FALSE(Exists("out/a.txt"));
  EXPECT_EQ(Content("src/b.txt"), "new b");
  EXPECT_EQ(Content("out/b.txt"), "b");
  EXPECT_EQ(Status(), "已撤销 1 个；1 个未撤销（原位置已有同名项目）");
}

// A link put in the place of a moved file is not the file placed: the undo
// leaves it, and what it leads to, alone.
TEST_F(UndoTransferTest, ALinkPutWhereAFileWasMovedIsLeftAlone) {
#ifdef _WIN32
  GTEST_SKIP() << "links are made here the POSIX way";
#else
  MakeFile("src/a.txt", "a");
  MakeFile("elsewhere/b.txt", "b");
  MakeFolder("out");
  AddRows({"src/a.txt"}, {0});
  dialogs_.folders.push_back(Path("out"));
  commands::TransferChecked(controls(), services_, commands::TransferKind::Move);
  ASSERT_EQ(Status(), "移动完毕！");
  std::filesystem::remove(Path("out/a.txt"));
  std::filesystem::create_symlink(Path("elsewhere/b.txt"), Path("out/a.txt"));

  dialogs_.answers.push_back(ui::MessageAnswer::Ok);
  commands::UndoLastTransfer(controls(), services_);
  EXPECT_EQ(Status(), "已撤销 0 个；1 个未撤销（目标处的文件已改变）");
  EXPECT_TRUE(std::filesystem::is_symlink(Path("out/a.txt")));
  EXPECT_EQ(Content("elsewhere/b.txt"), "b");
  EXPECT_FALSE(Exists("src/a.txt"));
#endif
}

// A new batch whose journal cannot be written (here no file may grow past one
// byte, as on a full disk) takes the last batch's journal with it: the undo
// must not take an older batch back as if it were the last.
TEST_F(UndoTransferTest, ABatchWhoseJournalCannotBeWrittenLeavesNoOlderBatchToUndo) {
#ifdef _WIN32
  GTEST_SKIP() << "the file size limit is a POSIX one";
#else
  MakeFile("src/a.txt", "a");
  MakeFile("src/b.txt", "b");
  MakeFolder("one");
  MakeFolder("two");
  AddRows({"src/a.txt"}, {0});
  dialogs_.folders.push_back(Path("one"));
  commands::TransferChecked(controls(), services_, commands::TransferKind::Copy);
  ASSERT_EQ(Status(), "复制完毕！");

  memory_.超级列表框_结果.Rows().Clear();
  AddRows({"src/b.txt"}, {0});
  dialogs_.folders.push_back(Path("two"));
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit one_byte = old;
  one_byte.rlim_cur = 1;
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &one_byte), 0);
  commands::TransferChecked(controls(), services_, commands::TransferKind::Copy);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_EQ(Status(), "复制完毕！无法写入撤销记录，这批不能撤销。");
  EXPECT_EQ(Content("two/b.txt"), "b");

  commands::UndoLastTransfer(controls(), services_);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, "没有可以撤销的复制或移动。");
  EXPECT_EQ(Content("one/a.txt"), "a");
#endif
}

}  // namespace
}  // namespace quellor::testing
