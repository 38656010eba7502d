// Copy and move into a chosen folder, on the real file system.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "commands/action_fixture.h"
#include "commands/action_runner.h"
#include "files/file_transfer.h"
#include "files/transfer_journal.h"
#include "platform/file_io.h"
#include "support/foreign_names.h"
#include "support/spoiling_file_operations.h"
#include "support/standard_trees.h"

namespace quellor::testing {
namespace {

class TransferTest : public ActionTest {
 protected:
  void Run(commands::TransferKind kind, const std::string& target) {
    dialogs_.folders.push_back(Path(target));
    commands::TransferChecked(controls(), services_, kind);
  }
  std::string Status() const { return memory_.标签_状态.Caption(); }
};

TEST_F(TransferTest, AsksForTheTargetWithTheNewStyleChooser) {
  MakeFile("src/a.txt", "new");
  AddRows({"src/a.txt"}, {0});
  Run(commands::TransferKind::Copy, "out");
  ASSERT_EQ(dialogs_.folder_requests.size(), 1u);
  EXPECT_EQ(dialogs_.folder_requests[0].title, "请选择");
  EXPECT_EQ(dialogs_.folder_requests[0].style, ui::FolderChooserStyle::TargetFolder);
}

TEST_F(TransferTest, CancelledChooserChangesNothing) {
  MakeFile("src/a.txt", "new");
  MakeFolder("out");
  AddRows({"src/a.txt"}, {0});
  memory_.进度条_文件操作.SetMaximum(7);
  memory_.进度条_文件操作.SetPosition(5);
  memory_.标签_状态.SetCaption("before");
  for (const auto kind : {commands::TransferKind::Copy, commands::TransferKind::Move}) {
    commands::TransferChecked(controls(), services_, kind);  // no folder scripted: cancel
  }
  EXPECT_EQ(dialogs_.folder_requests.size(), 2u);
  EXPECT_TRUE(Exists("src/a.txt"));
  EXPECT_FALSE(Exists("out/a.txt"));
  EXPECT_EQ(memory_.进度条_文件操作.Position(), 5);
  EXPECT_EQ(memory_.进度条_文件操作.Maximum(), 7);
  EXPECT_EQ(Status(), "before");
  EXPECT_EQ(RowTicks(), (std::vector<bool>{true}));
  EXPECT_EQ(events_.turns, 0);
}

TEST_F(TransferTest, NoTickedRowSaysSoAfterTheFolderWasChosen) {
  MakeFile("src/a.txt", "new");
  MakeFolder("out");
  AddRows({"src/a.txt"});
  Run(commands::TransferKind::Copy, "out");
  EXPECT_EQ(Status(), "您没有选择要复制的文件！");
  EXPECT_EQ(memory_.进度条_文件操作.Maximum(), 0);
  Run(commands::TransferKind::Move, "out");
  EXPECT_EQ(Status(), "您没有选择要移动的文件！");
  EXPECT_FALSE(Exists("out/a.txt"));
}

// The box 选择框_同名自动改名 decides a clash: the next free name, the old
// item kept; unticked, the item at the target is overwritten.
TEST_F(TransferTest, AClashTakesTheNextFreeNameOrOverwritesAsTheBoxSays) {
  const std::string photo = Utf8(u8"\u7167\u7247");  // names are UTF-8 on every platform's build
  trees::Clash(temp_);
  MakeFile("out/a (2).txt", "older");
  MakeFile("src/" + photo + ".jpg", "new photo");
  MakeFile("out/" + photo + ".jpg", "old photo");
  AddRows({"src/a.txt", "src/tree", "src/" + photo + ".jpg"}, {0, 1, 2});
  memory_.选择框_同名自动改名.SetChecked(true);
  Run(commands::TransferKind::Copy, "out");
  EXPECT_EQ(Content("out/a.txt"), "old");
  EXPECT_EQ(Content("out/a (2).txt"), "older");
  EXPECT_EQ(Content("out/a (3).txt"), "new");
  EXPECT_EQ(Content("out/tree (2)/sub/deep.txt"), "deep");
  EXPECT_FALSE(Exists("out/tree/sub"));
  EXPECT_EQ(Content("out/" + photo + ".jpg"), "old photo");
  EXPECT_EQ(Content("out/" + photo + " (2).jpg"), "new photo") << "a name's bytes are kept";
  EXPECT_EQ(Status(), "复制完毕！");

  memory_.选择框_同名自动改名.SetChecked(false);
  Run(commands::TransferKind::Copy, "out");
  EXPECT_EQ(Content("out/a.txt"), "new");
  EXPECT_FALSE(Exists("out/a (4).txt"));
  EXPECT_EQ(Content("out/tree/sub/deep.txt"), "deep");
  EXPECT_EQ(Content("out/tree/other.txt"), "other");
  EXPECT_EQ(Status(), "复制完毕！");
}

TEST_F(TransferTest, TickedRowsWithTheSameName) {
  MakeFile("one/x1.txt", "first");
  MakeFile("two/x1.txt", "second");
  MakeFile("three/x1.txt", "third");
  MakeFolder("out");
  MakeFolder("kept");
  AddRows({"one/x1.txt", "two/x1.txt", "three/x1.txt"}, {0, 1, 2});
  Run(commands::TransferKind::Copy, "out");
  EXPECT_EQ(Content("out/x1.txt"), "first") << "what this copy placed is not overwritten by it";
  EXPECT_EQ(Status(), "复制完毕！其中 2 项复制失败。");

  memory_.选择框_同名自动改名.SetChecked(true);
  Run(commands::TransferKind::Copy, "kept");
  EXPECT_EQ(Content("kept/x1.txt"), "first");
  EXPECT_EQ(Content("kept/x1 (2).txt"), "second");
  EXPECT_EQ(Content("kept/x1 (3).txt"), "third");

  memory_.选择框_同名自动改名.SetChecked(false);
  MakeFolder("moved");
  Run(commands::TransferKind::Move, "moved");
  EXPECT_EQ(Content("moved/x1.txt"), "first") << "a move likewise";
  EXPECT_FALSE(Exists("one/x1.txt"));
  EXPECT_EQ(Content("two/x1.txt"), "second") << "the later stay where they were";
  EXPECT_EQ(Status(), "移动完毕！其中 2 项移动失败。");
}

TEST_F(TransferTest, MoveLeavesItsRowsAndFillsTheProgressBar) {
  MakeFile("src/a.txt", "a");
  MakeFile("src/b.txt", "b");
  MakeFile("src/c.txt", "c");
  MakeFile("src/skip.txt", "s");
  MakeFolder("out");
  AddRows({"src/a.txt", "src/skip.txt", "src/b.txt", "src/c.txt"}, {0, 2, 3});
  const std::vector<std::string> rows_before = RowTexts();
  Run(commands::TransferKind::Move, "out");
  EXPECT_EQ(RowTexts(), rows_before);
  EXPECT_EQ(RowTicks(), (std::vector<bool>{true, false, true, true}));
  EXPECT_EQ(memory_.进度条_文件操作.Position(), 3);
  EXPECT_EQ(memory_.进度条_文件操作.Maximum(), 3);
  EXPECT_EQ(Status(), "移动完毕！");
  EXPECT_EQ(Content("out/b.txt"), "b");
  EXPECT_FALSE(Exists("src/a.txt"));
  EXPECT_TRUE(Exists("src/skip.txt"));
  EXPECT_FALSE(Exists("out/skip.txt"));

  // The batch is in the journal beside the program, to be taken back.
  const std::string journal = services_.program_folder + platform::kPathSeparator + commands::kTransferJournalName;
  const files::JournalRead read = files::ParseJournal(platform::ReadWholeFile(journal).value_or(""));
  ASSERT_TRUE(read.batch);
  EXPECT_EQ(read.batch->kind, files::TransferCommand::Kind::Move);
  ASSERT_EQ(read.batch->items.size(), 3u);
  EXPECT_EQ(read.batch->items[2].source, Path("src/c.txt"));
  EXPECT_EQ(read.batch->items[2].stage, files::JournalItem::Stage::Done);
}

// Whatever the item's failure (gone, refused, a copy the disk shows half
// written), it is counted and the run goes on.
TEST_F(TransferTest, FailuresAreCountedAndTold) {
  MakeFile("src/a.txt", "a");
  MakeFile("src/b.txt", "b");
  MakeFile("src/c.txt", "c");
  MakeFile("src/big.bin", std::string(1000, 'b'));
  MakeFolder("out");
  AddRows({"src/a.txt", "src/vanished.txt", "src/b.txt", "src/c.txt", "src/big.bin"}, {0, 1, 2, 3, 4});
  refusing_files_.refused.push_back(Path("src/c.txt"));
  SpoilingFileOperations spoiling(refusing_files_);
  spoiling.spoil = [](const std::filesystem::path& target) {
    if (target.filename() == "big.bin") CutToHalf(target);
  };
  commands::ActionServices services{dialogs_, events_, spoiling, shell_, clipboard_, platform::NameCharset(),
                                    root_.string(), &text::FoldAsciiCase};
  dialogs_.folders.push_back(Path("out"));
  commands::TransferChecked(controls(), services, commands::TransferKind::Copy);
  EXPECT_EQ(Status(), "复制完毕！其中 3 项复制失败。");
  EXPECT_EQ(memory_.进度条_文件操作.Position(), 5);
  EXPECT_EQ(Content("out/b.txt"), "b") << "the run goes on after a failure";
}

TEST_F(TransferTest, ATargetThatIsNoFolderFailsEveryItem) {
  MakeFile("src/a.txt", "a");
  MakeFile("src/b.txt", "b");
  MakeFile("file", "not a folder");
  AddRows({"src/a.txt", "src/b.txt"}, {0, 1});
  Run(commands::TransferKind::Move, "file");
  EXPECT_EQ(Status(), "移动完毕！其中 2 项移动失败。");
  EXPECT_EQ(Content("src/a.txt"), "a");
  EXPECT_EQ(Content("file"), "not a folder");
}

TEST_F(TransferTest, NothingIsClaimedDoneThatWasNot) {
  MakeFile("src/tree/t.txt", "t");
  MakeFile("out/tree/o.txt", "o");
  MakeFile("out/gone.txt", "old");
  AddRows({"src/tree", "src/gone.txt"}, {0, 1});
  Run(commands::TransferKind::Move, "out");
  // A folder moved onto one of the same name is merged into it where the
  // platform can; where it cannot, the failure is told and nothing is lost.
  if (Exists("src/tree")) {
    EXPECT_EQ(Status(), "移动完毕！其中 2 项移动失败。");
    EXPECT_EQ(Content("src/tree/t.txt"), "t");
  } else {
    EXPECT_EQ(Status(), "移动完毕！其中 1 项移动失败。");
    EXPECT_EQ(Content("out/tree/t.txt"), "t");
  }
  EXPECT_EQ(Content("out/tree/o.txt"), "o");
  EXPECT_EQ(Content("out/gone.txt"), "old");
}

TEST_F(TransferTest, ItemsAreLookedUpOnlyOnceATargetExists) {
  MakeFile("src/a.txt", "a");
  MakeFile("src/b.txt", "b");
  MakeFolder("out");
  AddRows({"src/a.txt", "src/b.txt"}, {0, 1});
  Run(commands::TransferKind::Copy, "out");
  EXPECT_EQ(Status(), "复制完毕！");
  for (const std::string& path : refusing_files_.identities_asked) {
    EXPECT_NE(path.find("out"), std::string::npos) << "an item looked up with no target in the way: " << path;
  }
  // Into a folder that holds one of the names, every item is looked up at that first clash.
  refusing_files_.identities_asked.clear();
  MakeFile("again/b.txt", "old");
  Run(commands::TransferKind::Copy, "again");
  EXPECT_EQ(std::count(refusing_files_.identities_asked.begin(), refusing_files_.identities_asked.end(),
                       Path("src/a.txt")),
            1);
  EXPECT_EQ(Content("again/b.txt"), "b");
}

TEST_F(TransferTest, ATickedItemIsNeverWrittenOver) {
  MakeFile("src/x.txt", "new");
  MakeFile("out/x.txt", "old");
  AddRows({"src/x.txt", "out/x.txt"}, {0, 1});
  Run(commands::TransferKind::Copy, "out");
  EXPECT_EQ(Status(), "复制完毕！其中 2 项复制失败。");
  EXPECT_EQ(Content("out/x.txt"), "old");
}

TEST_F(TransferTest, AMovedFolderCarriesItsItemsButNotOutOfSight) {
  MakeFile("src/F/g.txt", "g");
  MakeFile("other/g.txt", "other");
  MakeFolder("out");
  std::error_code error;
  std::filesystem::create_hard_link(root_ / "src/F/g.txt", root_ / "out/g.txt", error);
  if (error) GTEST_SKIP() << "no hard links here: " << error.message();
  // out/g.txt is the ticked src/F/g.txt under another name, which the move of F takes along.
  AddRows({"src/F", "src/F/g.txt", "other/g.txt"}, {0, 1, 2});
  Run(commands::TransferKind::Move, "out");
  EXPECT_EQ(Status(), "移动完毕！其中 2 项移动失败。");
  EXPECT_EQ(Content("out/F/g.txt"), "g");
  EXPECT_EQ(Content("other/g.txt"), "other");
}

TEST_F(TransferTest, ClosingTheWindowWhileItemsAreLookedUpWritesNothingOver) {
  MakeFile("src/a.txt", "a");
  MakeFile("src/b.txt", "b");
  MakeFile("out/a.txt", "old");
  AddRows({"src/a.txt", "src/b.txt"}, {0, 1});
  events_.close_after_turns = 1;  // the turn before the first item; the close comes amid its look-ups
  Run(commands::TransferKind::Copy, "out");
  EXPECT_EQ(Content("out/a.txt"), "old");
  EXPECT_FALSE(Exists("out/b.txt"));
}

// An event pump whose pending event is another click.
class ClickingPump : public ui::EventPump {
 public:
  explicit ClickingPump(std::function<void()> click) : click_(std::move(click)) {}
  bool ProcessPendingEvents() override {
    click_();
    return true;
  }

 private:
  std::function<void()> click_;
};

TEST_F(TransferTest, OtherActionsAreIgnoredWhileARunIsGoing) {
  MakeFile("src/a.txt", "a");
  MakeFolder("out");
  AddRows({"src/a.txt", "src/b.txt"}, {0});
  commands::ActionRunner runner;
  bool running_seen = false;
  bool still_running_after_ignored = false;
  bool nested_ran = false;
  ClickingPump pump([&] {
    running_seen = runner.Busy();
    dialogs_.answers.push_back(ui::MessageAnswer::Ok);
    nested_ran |= runner.Run([&] { commands::DeleteChecked(controls(), services_); });
    nested_ran |= runner.Run([&] { commands::CheckAllRows(controls()); });
    still_running_after_ignored = runner.Busy();
  });
  commands::ActionServices services{dialogs_, pump, refusing_files_, shell_, clipboard_, platform::NameCharset(),
                                   root_.string(), &text::FoldAsciiCase};
  dialogs_.folders.push_back(Path("out"));
  EXPECT_TRUE(runner.Run([&] { commands::TransferChecked(controls(), services, commands::TransferKind::Copy); }));
  EXPECT_TRUE(running_seen);
  EXPECT_FALSE(nested_ran);
  EXPECT_TRUE(still_running_after_ignored) << "an ignored action does not end the running one's hold";
  EXPECT_FALSE(runner.Busy());
  EXPECT_TRUE(Exists("src/a.txt")) << "the delete was ignored";
  EXPECT_EQ(RowTicks(), (std::vector<bool>{true, false}));
  EXPECT_EQ(Content("out/a.txt"), "a");
}

}  // namespace
}  // namespace quellor::testing
