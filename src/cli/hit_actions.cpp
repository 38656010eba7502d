#include "cli/hit_actions.h"

#include <string>
#include <unordered_set>

#include "cli/stream_text.h"
#include "files/file_transfer.h"
#include "platform/system_error.h"
#include "text/path_scan.h"

namespace quellor::cli {

namespace {

// How much of an item the target holds, for a copy the platform called done.
std::string NotWholeReason(const platform::ContentMatch& held) {
  if (!held.same_kind) return ": what is at the target is not of its kind";
  std::string reason = ": the target holds ";
  if (held.files_expected > 1) {
    reason += std::to_string(held.files) + " of its " + std::to_string(held.files_expected) + " files whole, ";
  }
  return reason + std::to_string(held.bytes) + " of its " + std::to_string(held.bytes_expected) + " bytes";
}

std::string Reason(const files::TransferResult& result) {
  switch (result.outcome) {
    case files::TransferOutcome::TargetNotWhole:
      return NotWholeReason(result.held);
    case files::TransferOutcome::TargetUnreadable:
      return ": the target cannot be read back";
    case files::TransferOutcome::SourceLeft:
      return ": it is at the target but still in its place too";
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
    case files::TransferOutcome::Failed:
      return result.code != 0 ? ": " + platform::SystemErrorText(result.code) : "";
    case files::TransferOutcome::Done:
    case files::TransferOutcome::Stopped:
      break;
  }
  return "";
}

}  // namespace

TransferCount TransferHits(platform::FileOperations& files, const text::Charset& cs, platform::FileOperationKind kind,
                           const std::vector<search::FoundRow>& rows, const std::string& folder, bool rename_on_clash,
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
  for (const search::FoundRow& row : rows) {
    if (taken.insert(row.path).second) items.push_back(&row.path);
  }
  files::TransferCommand command(files, cs, kind, target, true, [&](const auto& each) {
    for (const std::string* item : items) each(*item);
    return true;
  });
  TransferCount count;
  for (const std::string* item : items) {
    const std::string& row = *item;
    ++count.taken;
    const files::TransferResult result = command.Transfer(row, rename_on_clash);
    if (!result.Done()) {
      ++count.failed;
      WriteText(err, text::ShownText(kind == platform::FileOperationKind::Move ? "quellor-find: cannot move "
                                                                               : "quellor-find: cannot copy ")
                         .AddName(row)
                         .AddWords(Reason(result) + "\n"));
    }
  }
  return count;
}

}  // namespace quellor::cli
