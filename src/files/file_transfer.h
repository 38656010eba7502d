// One item copied or moved into a folder, with the choice of a free name on a
// name clash; the pieces that the window's commands and quellor-find share.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <string_view>

#include "platform/file_operations.h"
#include "text/charset.h"

namespace quellor::files {

// One request of the platform's file operation.
platform::FileOperationResult RunFileOperation(platform::FileOperations& files, platform::FileOperationKind kind,
                                               const std::string& source, const std::string& destination,
                                               unsigned flags);

// The first of "stem (2).ext", "stem (3).ext", ... (for a folder "name (2)",
// ...) that names nothing in `folder` (which ends in the separator). Empty
// when every candidate is taken.
std::string FreeNameInFolder(const platform::FileOperations& files, const text::Charset& cs,
                             const std::string& folder, std::string_view name, bool is_folder);

// What became of one item of a copy or move command.
enum class TransferOutcome {
  Done,
  Failed,               // the platform reported a failure, or the item is not at its target
  SourceMissing,        // gone since it was found
  SpecialFile,          // a FIFO, device or socket: never read as a file
  IntoItself,           // a folder into its own tree (links resolved)
  TargetIsItem,         // the target is an item of this command (itself, or a link leading to one)
  TargetPlacedEarlier,  // a move would overwrite what this command has just put there
  NoFreeName,           // every "name (N)" is taken
  Stopped,              // the listing of the items was cut short (the window is closing): nothing was done
};

// One copy or move command into one folder (ending in the separator). On a
// name clash the item there is overwritten, or with rename-on-clash the new
// item is stored under a free name of our choosing, given to the platform as
// the explicit target (the platform's own rename is not relied upon). Nothing
// the command takes is ever written over: no item of the command is a target,
// files are compared by identity, not by name; with `keep_placed` an item
// placed by the command is not overwritten by a later one of the same name.
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

  TransferCommand(platform::FileOperations& files, const text::Charset& cs, platform::FileOperationKind kind,
                  std::string folder, bool keep_placed, ListItems items);

  TransferOutcome Transfer(const std::string& source, bool rename_on_clash);

 private:
  // Looks the items' identities up, once; false when the listing stopped short.
  bool KnowItems();

  platform::FileOperations& files_;
  const text::Charset& cs_;
  platform::FileOperationKind kind_;
  std::string folder_;
  std::string real_folder_;  // with links resolved, ending in the separator; empty when unknown
  bool keep_placed_;
  ListItems list_items_;
  bool items_known_ = false;
  std::set<platform::FileIdentity> items_;
  std::set<platform::FileIdentity> placed_;
};

}  // namespace quellor::files
