// Taking the last copy or move batch back, newest item first, from its
// journal and what the disk shows now: a move is moved back, a copy removed,
// and only where the item is still the one placed and nothing else would be
// lost. Nothing is overwritten, and nothing the batch did not create is
// removed. It needs nothing but the journal and the disk, so it works after
// the program has ended.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "files/transfer_journal.h"
#include "platform/file_operations.h"
#include "text/charset.h"

namespace quellor::files {

enum class UndoReason : std::uint8_t {
  Undone,              // moved back, or the copy removed
  NotCompleted,        // begun, but the batch ended before it was told what became of it
  Failed,              // the batch placed nothing
  AlreadyUndone,       // taken back before
  PlacedOverExisting,  // it replaced a file or was merged into a folder: what was there cannot be given back
  TargetChanged,       // the item at the target is no longer the one placed, or is gone
  OldPlaceTaken,       // a moved item's old place holds something now
  OldFolderGone,       // a moved item's old folder is no longer there
  ActionFailed,        // the move back or the removal failed
};
inline constexpr std::size_t kUndoReasons = 9;

// Reasons that leave nothing for the user to see to: nothing was placed, or
// it was taken back before.
bool NothingToDo(UndoReason reason);

// What the disk shows now around one item.
struct UndoScene {
  PlacedState target;
  platform::PathKind old_place = platform::PathKind::Missing;   // the source's path
  platform::PathKind old_folder = platform::PathKind::Folder;   // the folder that held it
};

enum class UndoAction : std::uint8_t { Leave, MoveBack, Remove };

struct UndoDecision {
  UndoAction action = UndoAction::Leave;
  UndoReason reason = UndoReason::Undone;  // why it is left; Undone when it is acted on
  friend bool operator==(const UndoDecision&, const UndoDecision&) = default;
};

// `scene` is looked at only for an item that was placed and not taken back.
UndoDecision DecideUndo(const JournalItem& item, TransferCommand::Kind kind, const UndoScene& scene);

struct LeftItem {
  std::string source;
  std::string target;
  UndoReason reason = UndoReason::NotCompleted;
  // ActionFailed: what the file operation reported.
  platform::OperationResult operation;
};

struct UndoResult {
  bool found = false;  // a journal with a batch in it
  TransferCommand::Kind kind = TransferCommand::Kind::Copy;
  std::array<std::size_t, kUndoReasons> counts{};
  std::vector<LeftItem> left;  // newest first; reasons other than NothingToDo
  // The journal could not be told of every item undone: a later undo finds
  // them changed and leaves them.
  bool record_failed = false;

  std::size_t Count(UndoReason reason) const { return counts[static_cast<std::size_t>(reason)]; }
};

// Takes back the batch in the journal at `journal_path` through `files`;
// each item undone is added to the journal. `cs`: the charset of the paths.
UndoResult UndoLastBatch(const std::string& journal_path, platform::FileOperations& files, const text::Charset& cs);

}  // namespace quellor::files
