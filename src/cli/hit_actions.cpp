#include "cli/hit_actions.h"

#include <unordered_set>

#include "cli/stream_text.h"
#include "files/file_transfer.h"
#include "text/path_scan.h"

namespace quellor::cli {

namespace {

const char* Reason(files::TransferOutcome outcome) {
  switch (outcome) {
    case files::TransferOutcome::SourceMissing:
      return ": it no longer exists";
    case files::TransferOutcome::SpecialFile:
      return ": not a regular file, folder or link";
    case files::TransferOutcome::IntoItself:
      return ": the target folder lies inside it";
    case files::TransferOutcome::TargetIsItem:
      return ": the target is a found item itself";
    case files::TransferOutcome::TargetPlacedEarlier:
      return ": an item of the same name was just put there";
    case files::TransferOutcome::NoFreeName:
      return ": no free name in the target folder";
    case files::TransferOutcome::Done:
    case files::TransferOutcome::Failed:
    case files::TransferOutcome::Stopped:
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
  // A path found by several names is one item: taking it twice would copy it
  // twice, or fail the second move.
  std::unordered_set<std::string> taken;
  std::vector<const std::string*> items;
  for (const std::string& row : rows) {
    if (taken.insert(row).second) items.push_back(&row);
  }
  files::TransferCommand command(files, cs, kind, target, true, [&](const auto& each) {
    for (const std::string* item : items) each(*item);
    return true;
  });
  TransferCount count;
  for (const std::string* item : items) {
    const std::string& row = *item;
    ++count.taken;
    const files::TransferOutcome outcome = command.Transfer(row, rename_on_clash);
    if (outcome != files::TransferOutcome::Done) {
      ++count.failed;
      WriteText(err, text::ShownText(kind == platform::FileOperationKind::Move ? "quellor-find: cannot move "
                                                                               : "quellor-find: cannot copy ")
                         .AddName(row)
                         .AddWords(std::string(Reason(outcome)) + "\n"));
    }
  }
  return count;
}

}  // namespace quellor::cli
