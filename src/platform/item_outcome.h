// What a file operation was asked to do where the target's name is taken,
// and what became of the item.
#pragma once

#include <cstddef>
#include <string>

namespace quellor::platform {

// What a copy or move does where the target's name is taken.
enum class OnClash {
  // An older file there is replaced, a folder there merged into.
  Overwrite,
  // The item is placed only where nothing is.
  Refuse,
};

enum class ItemOutcome {
  Done,
  Failed,          // the system refused: `code`
  SourceMissing,   // gone since it was found
  ChangedKind,     // no longer the kind of item that was found
  NotTheItem,      // the system reaches another item through its name (a link it follows): left alone
  SpecialFile,     // a FIFO, device or socket: never read as a file
  IntoItself,      // a folder into its own tree, links resolved
  TargetTaken,     // something is at the target where nothing may be, or an item of another kind
  LinkAtTarget,    // a link where the item was to be written or merged into
  TargetIsItem,    // the item would be written over or into a found item
  NamesDifferOnlyByCase,  // two of its names, which the target takes for one
  LinkNotCopied,   // a link, which this system makes no copy of
  NotWhole,        // a move across volumes whose copy fell short: taken back, the source left whole
  PartlyMoved,     // moved across volumes, but `left` entries changed or appeared meanwhile and stayed
};

struct OperationResult {
  ItemOutcome outcome = ItemOutcome::Failed;
  // Failed: the system's code.
  int code = 0;
  // PartlyMoved: the files and folders left in the source.
  std::size_t left = 0;
  // The path inside the item where it happened; empty for the item itself.
  std::string where;
  bool Done() const { return outcome == ItemOutcome::Done; }
};

}  // namespace quellor::platform
