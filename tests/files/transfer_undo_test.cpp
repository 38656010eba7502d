// Taking a batch back: each rule of the decision once, then a move batch
// undone on the disk where the user has changed some of it since.
#include <gtest/gtest.h>

#include "files/transfer_undo.h"
#include "platform/file_io.h"
#include "platform/system_charset.h"
#include "support/temp_tree.h"

namespace quellor::testing {
namespace {

using files::UndoAction;
using files::UndoReason;
using platform::PathKind;
using Kind = files::TransferCommand::Kind;
using Stage = files::JournalItem::Stage;

TEST(TransferUndo, DecidesFromTheJournalAndTheDisk) {
  const files::PlacedState file{PathKind::File, 10, 500, std::nullopt};
  const files::PlacedState folder{PathKind::Folder, 4096, 500, files::FolderDigest{2, 30, 0xabc}};
  files::PlacedState other_digest = folder;
  other_digest.digest->hash = 0xabd;
  files::PlacedState other_time = file;
  other_time.modified = 501;
  files::PlacedState other_size = file;
  other_size.size = 11;
  const files::UndoScene free_place{file, PathKind::Missing, PathKind::Folder};
  struct Case {
    const char* what;
    Stage stage;
    bool undone;
    bool taken;
    files::PlacedState placed;
    Kind kind;
    files::UndoScene now;
    files::UndoDecision decision;
  };
  const Case cases[] = {
      {"begun, never told", Stage::Begun, false, false, file, Kind::Move, free_place,
       {UndoAction::Leave, UndoReason::NotCompleted}},
      {"failed", Stage::Failed, false, false, file, Kind::Move, free_place, {UndoAction::Leave, UndoReason::Failed}},
      {"undone before", Stage::Done, true, false, file, Kind::Move, free_place,
       {UndoAction::Leave, UndoReason::AlreadyUndone}},
      {"placed over a file", Stage::Done, false, true, file, Kind::Copy, free_place,
       {UndoAction::Leave, UndoReason::PlacedOverExisting}},
      {"gone", Stage::Done, false, false, file, Kind::Copy, {{}, PathKind::Missing, PathKind::Folder},
       {UndoAction::Leave, UndoReason::TargetChanged}},
      {"a folder now", Stage::Done, false, false, file, Kind::Copy, {folder, PathKind::Missing, PathKind::Folder},
       {UndoAction::Leave, UndoReason::TargetChanged}},
      {"another size", Stage::Done, false, false, file, Kind::Copy, {other_size, PathKind::Missing, PathKind::Folder},
       {UndoAction::Leave, UndoReason::TargetChanged}},
      {"another time", Stage::Done, false, false, file, Kind::Move, {other_time, PathKind::Missing, PathKind::Folder},
       {UndoAction::Leave, UndoReason::TargetChanged}},
      {"a folder with other content", Stage::Done, false, false, folder, Kind::Copy,
       {other_digest, PathKind::Missing, PathKind::Folder}, {UndoAction::Leave, UndoReason::TargetChanged}},
      {"the old place taken", Stage::Done, false, false, file, Kind::Move, {file, PathKind::File, PathKind::Folder},
       {UndoAction::Leave, UndoReason::OldPlaceTaken}},
      {"the old place unreadable", Stage::Done, false, false, file, Kind::Move,
       {file, PathKind::Unknown, PathKind::Folder}, {UndoAction::Leave, UndoReason::OldPlaceTaken}},
      {"the old folder gone", Stage::Done, false, false, file, Kind::Move, {file, PathKind::Missing, PathKind::Missing},
       {UndoAction::Leave, UndoReason::OldFolderGone}},
      {"a move as placed", Stage::Done, false, false, folder, Kind::Move, {folder, PathKind::Missing, PathKind::Folder},
       {UndoAction::MoveBack, UndoReason::Undone}},
      {"a copy as placed, its source still there", Stage::Done, false, false, file, Kind::Copy,
       {file, PathKind::File, PathKind::Folder}, {UndoAction::Remove, UndoReason::Undone}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    files::JournalItem item{"/s/a", "/d/a", c.placed.kind, c.taken, c.stage, c.placed, c.undone};
    EXPECT_EQ(files::DecideUndo(item, c.kind, c.now), c.decision);
  }
}

TEST(TransferUndo, MovesBackOnlyWhatIsStillAsPlacedAndOverwritesNothing) {
  TempTree t;
  for (const char* name : {"a", "b", "c", "d"}) t.Write(std::string("src/") + name + ".txt", name);
  t.Write("dst/d.txt", "the user's own");
  const std::unique_ptr<platform::FileOperations> files = platform::MakeSystemFileOperations();
  const std::string journal = t.Path("journal");
  {
    const auto recorder = files::JournalRecorder::Start(journal, Kind::Move, *files);
    ASSERT_TRUE(recorder);
    files::TransferCommand command(*files, platform::NameCharset(), Kind::Move,
                                   t.Path("dst") + platform::kPathSeparator, [](const auto&) { return true; });
    command.RecordIn(recorder.get());
    for (const char* name : {"a", "b", "c", "d"}) {
      ASSERT_TRUE(command.Transfer(t.Path(std::string("src/") + name + ".txt"), PathKind::File, false).Done());
    }
  }
  t.Write("dst/b.txt", "changed since");
  t.Write("src/c.txt", "a new c");

  const files::UndoResult undo = files::UndoLastBatch(journal, *files, platform::NameCharset());
  ASSERT_TRUE(undo.found);
  EXPECT_FALSE(undo.record_failed);
  EXPECT_EQ(undo.Count(UndoReason::Undone), 1u);
  EXPECT_EQ(t.Read("src/a.txt"), "a");
  EXPECT_FALSE(t.Exists("dst/a.txt"));
  EXPECT_EQ(t.Read("dst/b.txt"), "changed since");
  EXPECT_EQ(t.Read("src/c.txt"), "a new c");
  EXPECT_EQ(t.Read("dst/c.txt"), "c");
  EXPECT_EQ(t.Read("dst/d.txt"), "d") << "it replaced the user's file: nothing to give back";
  ASSERT_EQ(undo.left.size(), 3u);
  EXPECT_EQ(undo.left[0].target, t.Path("dst/d.txt")) << "newest first";
  EXPECT_EQ(undo.left[0].reason, UndoReason::PlacedOverExisting);
  EXPECT_EQ(undo.left[1].reason, UndoReason::OldPlaceTaken);
  EXPECT_EQ(undo.left[2].reason, UndoReason::TargetChanged);

  // Once c's old place is free again, a second undo takes c back and a alone is not moved twice.
  ASSERT_TRUE(std::filesystem::remove(NativePath(t.Path("src/c.txt"))));
  t.Write("dst/a.txt", "a new a");
  const files::UndoResult again = files::UndoLastBatch(journal, *files, platform::NameCharset());
  EXPECT_EQ(again.Count(UndoReason::AlreadyUndone), 1u);
  EXPECT_EQ(again.Count(UndoReason::Undone), 1u);
  EXPECT_EQ(t.Read("src/c.txt"), "c");
  EXPECT_EQ(t.Read("dst/a.txt"), "a new a");
  EXPECT_EQ(again.left.size(), 2u);
}

}  // namespace
}  // namespace quellor::testing
