// Deleting the ticked rows' items, permanently or to the recycle bin, on the
// real file system.
#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include "commands/action_fixture.h"

namespace quellor::testing {
namespace {

class DeleteTest : public ActionTest {
 protected:
  void Delete(ui::MessageAnswer answer) {
    dialogs_.answers.push_back(answer);
    commands::DeleteChecked(controls(), services_);
  }
};

TEST_F(DeleteTest, AsksFirstAndCancelChangesNothing) {
  MakeFile("a.txt", "a");
  AddRows({"a.txt"}, {0});
  memory_.进度条_文件操作.SetMaximum(9);
  memory_.进度条_文件操作.SetPosition(4);
  memory_.标签_状态.SetCaption("before");
  Delete(ui::MessageAnswer::Cancel);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, "您确定要删除选定的文件吗？请慎重，删除后不可恢复！");
  EXPECT_EQ(dialogs_.messages[0].caption, "确定删除吗？");
  EXPECT_EQ(dialogs_.messages[0].buttons, ui::MessageButtons::OkCancel);
  EXPECT_TRUE(Exists("a.txt"));
  EXPECT_EQ(RowTicks(), (std::vector<bool>{true}));
  EXPECT_EQ(memory_.标签_状态.Caption(), "before");
  EXPECT_EQ(memory_.进度条_文件操作.Position(), 4);
  EXPECT_EQ(memory_.进度条_文件操作.Maximum(), 9);
}

TEST_F(DeleteTest, NothingTickedIsToldAfterTheConfirmation) {
  MakeFile("a.txt", "a");
  AddRows({"a.txt"});
  Delete(ui::MessageAnswer::Ok);
  ASSERT_EQ(dialogs_.messages.size(), 2u);
  EXPECT_EQ(dialogs_.messages[1].text, "您没有选择任何文件！");
  EXPECT_EQ(dialogs_.messages[1].caption, "信息：");
  EXPECT_TRUE(Exists("a.txt"));
  EXPECT_EQ(RowTexts().size(), 1u);
}

TEST_F(DeleteTest, TickedRowsOneThreeFourOfFiveLeaveTheFormerRowsZeroAndTwo) {
  for (const char* name : {"r0", "r1", "r2", "r3"}) MakeFile(name, name);
  MakeFolder("r4/inner");
  MakeFile("r4/inner/deep.txt", "deep");
  AddRows({"r0", "r1", "r2", "r3", "r4"}, {1, 3, 4});
  Delete(ui::MessageAnswer::Ok);
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{Path("r0"), Path("r2")}));
  EXPECT_TRUE(Exists("r0"));
  EXPECT_FALSE(Exists("r1"));
  EXPECT_FALSE(Exists("r3"));
  EXPECT_FALSE(Exists("r4")) << "a folder goes with all its content";
  EXPECT_EQ(memory_.进度条_文件操作.Position(), 3);
  EXPECT_EQ(memory_.进度条_文件操作.Maximum(), 3);
  EXPECT_EQ(memory_.标签_状态.Caption(), "删除完毕！");
}

// A row goes only with its item: one the system refused, one that is no
// longer what was found, and one that cannot be looked up (a server that does
// not answer, a folder closed to the user) stay ticked and count as failed; a
// vanished item's row goes.
TEST_F(DeleteTest, ARowWhoseItemSurvivesStaysTickedAndIsCounted) {
  MakeFile("a", "a");
  MakeFile("keep/b", "b");
  MakeFile("c", "c");
  MakeFile("row.txt", "a file when it was found");
  AddRows({"a", "keep/b", "c", "vanished", "row.txt", "share/a.txt"}, {0, 1, 2, 3, 4, 5});
  refusing_files_.refused.push_back(Path("keep"));
  refusing_files_.unknowable.push_back(Path("share"));
  std::filesystem::remove(root_ / "row.txt");
  MakeFile("row.txt/inner.txt", "a folder now");
  Delete(ui::MessageAnswer::Ok);
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{Path("keep/b"), Path("row.txt"), Path("share/a.txt")}));
  EXPECT_EQ(RowTicks(), (std::vector<bool>{true, true, true}));
  EXPECT_TRUE(Exists("keep/b"));
  EXPECT_EQ(Content("row.txt/inner.txt"), "a folder now");
  EXPECT_EQ(memory_.标签_状态.Caption(), "删除完毕！其中 3 项删除失败。");
  EXPECT_EQ(memory_.进度条_文件操作.Position(), memory_.进度条_文件操作.Maximum());
}

// ---- the counted question (Shift+Delete) and the recycle bin ---------------

using Command = void (*)(ui::Controls&, commands::ActionServices&);

// Each asks once, naming the count; cancelled, nothing is touched; with
// nothing ticked it says so without asking.
TEST_F(DeleteTest, CountedQuestionsNameTheTickedRowsAndCancelTouchesNothing) {
  struct Case {
    Command command;
    std::string question;
  };
  for (const Case& c : {Case{&commands::RecycleChecked, "确定要把勾选的 2 个文件移到回收站吗？"},
                        Case{&commands::DeleteCheckedAfterCountedQuestion,
                             "确定要永久删除勾选的 2 个文件吗？删除后不可恢复！"}}) {
    SCOPED_TRACE(c.question);
    std::vector<int> all_rows(RowTexts().size());
    std::iota(all_rows.begin(), all_rows.end(), 0);
    memory_.超级列表框_结果.RemoveRows(all_rows);
    dialogs_.messages.clear();
    MakeFile("a", "a");
    MakeFile("b", "b");
    AddRows({"a", "b"});
    c.command(controls(), services_);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, "您没有选择任何文件！");

    testing::SetRowChecked(memory_.超级列表框_结果, 0, true);
    testing::SetRowChecked(memory_.超级列表框_结果, 1, true);
    memory_.标签_状态.SetCaption("before");
    dialogs_.answers.push_back(ui::MessageAnswer::Cancel);
    c.command(controls(), services_);
    ASSERT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.messages[1].text, c.question);
    EXPECT_EQ(dialogs_.messages[1].buttons, ui::MessageButtons::OkCancel);
    EXPECT_TRUE(Exists("a"));
    EXPECT_EQ(RowTicks(), (std::vector<bool>{true, true}));
    EXPECT_EQ(memory_.标签_状态.Caption(), "before");
  }
  EXPECT_TRUE(shell_.recycled.empty());
}

// Where the recycle bin takes nothing (the test's shell, as a system without
// one), every item is left, never deleted instead: each row stays ticked and
// the status line counts them with the reason. An item no longer what the
// search found is not even handed to the shell.
TEST_F(DeleteTest, WithoutARecycleBinEveryItemIsLeftAndCounted) {
  MakeFile("a.txt", "a");
  MakeFile("folder/inner.txt", "inner");
  MakeFile("row.txt", "a file when it was found");
  AddRows({"a.txt", "folder", "row.txt"}, {0, 1, 2});
  std::filesystem::remove(root_ / "row.txt");
  MakeFile("row.txt/inner.txt", "a folder now");
  dialogs_.answers.push_back(ui::MessageAnswer::Ok);
  commands::RecycleChecked(controls(), services_);
  EXPECT_EQ(shell_.recycled, (std::vector<std::string>{Path("a.txt"), Path("folder")}));
  EXPECT_EQ(Content("a.txt"), "a");
  EXPECT_EQ(Content("folder/inner.txt"), "inner");
  EXPECT_EQ(RowTicks(), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(memory_.标签_状态.Caption(),
            "移到回收站完毕！2 个文件无法移到回收站（所在驱动器没有回收站）。"
            "1 个文件无法移到回收站（已不是搜索到的文件）。");
  EXPECT_EQ(memory_.进度条_文件操作.Position(), 3);
}

}  // namespace
}  // namespace quellor::testing
