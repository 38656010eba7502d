#include "cli/hit_actions.h"

#include <unordered_set>

#include "actions/file_transfer.h"
#include "text/path_scan.h"

namespace quellor::cli {

namespace {

const char* Reason(actions::TransferOutcome outcome) {
  switch (outcome) {
    case actions::TransferOutcome::SourceMissing:
      return ": it no longer exists";
    case actions::TransferOutcome::SpecialFile:
      return ": not a regular file, folder or link";
    case actions::TransferOutcome::IntoItself:
      return ": the target folder lies inside it";
    case actions::TransferOutcome::TargetIsItem:
      return ": the target is a found item itself";
    case actions::TransferOutcome::TargetPlacedEarlier:
      return ": an item of the same name was just put there";
    case actions::TransferOutcome::NoFreeName:
      return ": no free name in the target folder";
    case actions::TransferOutcome::Done:
    case actions::TransferOutcome::Failed:
      break;
  }
  return "";
}

}  // namespace

TransferCount TransferHits(platform::FileOperations& files, const text::Charset& cs, platform::FileOperationKind kind,
                           const std::vector<std::string>& rows, const std::string& folder, bool rename_on_clash,
                           std::FILE* err) {
  const char separator = files.Separator();
  const std::string target =
      text::EndsWithSeparator(cs, folder, separator) ? folder : folder + separator;
  // A copy too keeps the first of two items of one name: every item named
  // in the output is either in the target or still in its place.
  actions::TransferCommand command(files, cs, kind, target, true);
  // A path found by several names is one item: taking it twice would copy it
  // twice, or fail the second move.
  std::unordered_set<std::string> taken;
  std::vector<const std::string*> items;
  for (const std::string& row : rows) {
    if (!taken.insert(row).second) continue;
    items.push_back(&row);
    command.AddItem(row);
  }
  TransferCount count;
  for (const std::string* item : items) {
    const std::string& row = *item;
    ++count.taken;
    const actions::TransferOutcome outcome = command.Transfer(row, rename_on_clash);
    if (outcome != actions::TransferOutcome::Done) {
      ++count.failed;
      std::fprintf(err, "quellor-find: cannot %s %s%s\n", kind == platform::FileOperationKind::Move ? "move" : "copy",
                   row.c_str(), Reason(outcome));
    }
  }
  return count;
}

}  // namespace quellor::cli
