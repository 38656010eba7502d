// One item copied or moved into a folder, with the choice of a free name on a
// name clash; the pieces that the window's commands and quellor-find share.
#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "platform/file_operations.h"
#include "text/charset.h"

namespace quellor::files {

// The first of "stem (2).ext", "stem (3).ext", ... (for a folder "name (2)",
// ...) that names nothing in `folder` (which ends in the separator). Empty
// when every candidate is taken.
std::string FreeNameInFolder(const platform::FileOperations& files, const text::Charset& cs,
                             const std::string& folder, std::string_view name, bool is_folder);

// What became of one item of a copy or move command.
enum class TransferOutcome {
  Done,
  Failed,               // the file operation did not do it: `operation` says why
  TargetNotWhole,       // reported done, but the target does not hold all of the item
  TargetUnreadable,     // reported done, but the target cannot be read back to see
  SourceLeft,           // a move reported done, but the item is still in its place too
  TargetPlacedEarlier,  // this command has just put an item of that name there
  NoFreeName,           // every "name (N)" is taken, or the folder cannot be looked into
  Stopped,              // the listing of the items was cut short (the window is closing): nothing was done
};

struct TransferResult {
  TransferOutcome outcome = TransferOutcome::Failed;
  // Failed: what the file operation said.
  platform::OperationResult operation;
  // TargetNotWhole: how much of the item the target holds.
  platform::ContentMatch held;
  bool Done() const { return outcome == TransferOutcome::Done; }
};

// Told of each item a TransferCommand hands to the file operation: before the
// call, what is to be placed where, and after it, what the call reported; so
// a record kept from it is true even where the process ends in between.
class TransferJournal {
 public:
  virtual ~TransferJournal() = default;
  // `source`, of the kind `kind`, is about to be placed at `target` (the name
  // chosen for it); `target_taken`: something is there already.
  virtual void Placing(const std::string& source, platform::PathKind kind, const std::string& target,
                       bool target_taken) = 0;
  // What the file operation reported for the item told last.
  virtual void Placed(const platform::OperationResult& operation) = 0;
};

// One copy or move command into one folder (ending in the separator). On a
// name clash the item there is overwritten (a folder merged into), or with
// rename-on-clash the new item is stored under a free name of our choosing.
// Nothing the command takes is ever written over or into, at any depth:
// files are compared by identity, not by name; an item placed by the command
// is not overwritten by a later one of the same name. What the file
// operation reports done is looked at: the target must hold every file the
// item held, with its size, and after a move the item must be gone from its
// place; anything less is not done.
//
// The items' identities are looked up only once they matter: before the
// first target that already exists (the first that could be written over)
// and before the first folder is moved (it carries items inside it away from
// their paths). Until then nothing is written over, and a moved file's
// identity is kept as it arrives. So a copy into a new folder starts at once,
// where looking every item up first takes a round trip each on a share.
class TransferCommand {
 public:
  // Calls `each` with every item of the command; false when it stopped short.
  using ListItems = std::function<bool(const std::function<void(const std::string&)>& each)>;

  enum class Kind { Copy, Move };

  TransferCommand(platform::FileOperations& files, const text::Charset& cs, Kind kind, std::string folder,
                  ListItems items);

  // Each item handed to the file operation from now on is told to `journal`
  // (null: none), which must outlive the command.
  void RecordIn(TransferJournal* journal) { journal_ = journal; }

  // `found_as`: what the search found at `source` (Unknown: any kind); an
  // item that is something else now is left alone.
  TransferResult Transfer(const std::string& source, platform::PathKind found_as, bool rename_on_clash);

 private:
  // Looks the items' identities up, once; false when the listing stopped short.
  bool KnowItems();
  // What the platform reported done, as the file system shows it.
  TransferResult Check(const std::optional<platform::TreeContent>& before, const std::string& source,
                       const std::string& target) const;

  platform::FileOperations& files_;
  const text::Charset& cs_;
  Kind kind_;
  std::string folder_;
  ListItems list_items_;
  bool items_known_ = false;
  std::set<platform::FileIdentity> items_;
  std::set<platform::FileIdentity> placed_;
  TransferJournal* journal_ = nullptr;
};

}  // namespace quellor::files
