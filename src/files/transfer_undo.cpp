#include "files/transfer_undo.h"

#include <memory>
#include <optional>

#include "platform/append_file.h"
#include "platform/file_io.h"
#include "text/path_scan.h"

namespace quellor::files {

namespace {

// The item at the target is the one placed: same kind, size and time, and a
// folder with the same content. A folder whose content could not be read,
// then or now, cannot be told to be the same.
bool StillThePlacedItem(const PlacedState& placed, const PlacedState& now) {
  if (placed.kind == platform::PathKind::Folder && (!placed.digest || !now.digest)) return false;
  return placed == now;
}

UndoDecision Leave(UndoReason reason) { return UndoDecision{UndoAction::Leave, reason}; }

std::string FolderOf(const text::Charset& cs, const std::string& path, char separator) {
  const std::size_t last = text::FindLastSeparator(cs, path, separator);
  if (last == std::string::npos) return {};
  // A root keeps its separator ("/", "D:\").
  const bool root = last == 0 || (last == 2 && path[1] == ':');
  return path.substr(0, root ? last + 1 : last);
}

UndoScene LookAround(const platform::FileOperations& files, const text::Charset& cs, const JournalItem& item) {
  UndoScene scene;
  scene.target = StateAt(files, item.target);
  scene.old_place = files.KindOf(item.source);
  const std::string folder = FolderOf(cs, item.source, files.Separator());
  scene.old_folder = folder.empty() ? platform::PathKind::Missing : files.KindOf(folder);
  return scene;
}

}  // namespace

bool NothingToDo(UndoReason reason) {
  return reason == UndoReason::Failed || reason == UndoReason::AlreadyUndone || reason == UndoReason::Undone;
}

UndoDecision DecideUndo(const JournalItem& item, TransferCommand::Kind kind, const UndoScene& scene) {
  if (item.stage == JournalItem::Stage::Begun) return Leave(UndoReason::NotCompleted);
  if (item.stage == JournalItem::Stage::Failed) return Leave(UndoReason::Failed);
  if (item.undone) return Leave(UndoReason::AlreadyUndone);
  if (item.target_taken) return Leave(UndoReason::PlacedOverExisting);
  if (!StillThePlacedItem(item.placed, scene.target)) return Leave(UndoReason::TargetChanged);
  if (kind == TransferCommand::Kind::Copy) return UndoDecision{UndoAction::Remove, UndoReason::Undone};
  if (scene.old_folder != platform::PathKind::Folder) return Leave(UndoReason::OldFolderGone);
  // Unknown counts as taken: nothing may be concluded, so nothing is risked.
  if (scene.old_place != platform::PathKind::Missing) return Leave(UndoReason::OldPlaceTaken);
  return UndoDecision{UndoAction::MoveBack, UndoReason::Undone};
}

UndoResult UndoLastBatch(const std::string& journal_path, platform::FileOperations& files, const text::Charset& cs) {
  UndoResult result;
  const std::optional<std::string> bytes = platform::ReadWholeFile(journal_path);
  if (!bytes) return result;
  JournalRead read = ParseJournal(*bytes);
  if (!read.batch || read.batch->items.empty()) return result;
  result.found = true;
  result.kind = read.batch->kind;

  // A line added after a torn or bad one would never be read: the journal is
  // cut back to its sound lines first.
  std::unique_ptr<platform::AppendFile> journal;
  if (read.trusted_bytes == bytes->size() ||
      platform::WriteWholeFileReplacing(journal_path, std::string_view(*bytes).substr(0, read.trusted_bytes))) {
    journal = platform::OpenForAppending(journal_path);
  }

  const std::vector<JournalItem>& items = read.batch->items;
  for (std::size_t i = items.size(); i-- > 0;) {
    const JournalItem& item = items[i];
    const bool placed = item.stage == JournalItem::Stage::Done && !item.undone;
    const UndoDecision decision = DecideUndo(item, result.kind, placed ? LookAround(files, cs, item) : UndoScene{});
    UndoReason reason = decision.reason;
    platform::OperationResult operation;
    if (decision.action != UndoAction::Leave) {
      operation = decision.action == UndoAction::MoveBack
                      ? files.Move(item.target, item.placed.kind, item.source, platform::OnClash::Refuse, nullptr)
                      : files.Remove(item.target, item.placed.kind);
      if (operation.Done()) {
        // After a line that did not arrive whole, no later one would be read.
        if (journal && !journal->Append(UndoneLine(i))) journal.reset();
        if (!journal) result.record_failed = true;
      } else {
        reason = UndoReason::ActionFailed;
      }
    }
    ++result.counts[static_cast<std::size_t>(reason)];
    if (!NothingToDo(reason)) result.left.push_back(LeftItem{item.source, item.target, reason, operation});
  }
  return result;
}

}  // namespace quellor::files
