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

}  // namespace

std::string OperationReason(const platform::OperationResult& result) {
  switch (result.outcome) {
    case platform::ItemOutcome::Failed:
      return result.code != 0 ? platform::SystemErrorText(result.code) : "the system refused";
    case platform::ItemOutcome::SourceMissing:
      return "it no longer exists";
    case platform::ItemOutcome::ChangedKind:
      return "it is no longer what the search found there (a file, folder or link)";
    case platform::ItemOutcome::NotTheItem:
      return "the system reaches another item through its name (a link it follows): left alone";
    case platform::ItemOutcome::SpecialFile:
      return "not a regular file, folder or link";
    case platform::ItemOutcome::IntoItself:
      return "the target folder lies inside it";
    case platform::ItemOutcome::TargetTaken:
      return "something of another kind is at the target";
    case platform::ItemOutcome::LinkAtTarget:
      return "a link is at the target: it is not written through";
    case platform::ItemOutcome::TargetIsItem:
      return "the target is a found item itself";
    case platform::ItemOutcome::NamesDifferOnlyByCase:
      return "two of its names differ only by letter case, which the target takes for one name";
    case platform::ItemOutcome::LinkNotCopied:
      return "a link, which this system makes no copy of";
    case platform::ItemOutcome::NotWhole:
      return "its copy fell short and was taken back; it is whole in its place";
    case platform::ItemOutcome::PartlyMoved:
      return "partly moved: " + std::to_string(result.left) +
             " of its files and folders changed or appeared meanwhile and stayed in its place";
    case platform::ItemOutcome::Done:
      break;
  }
  return "";
}

namespace {

// What to say after the item's path: the reason and, where it happened
// inside the item, that path.
void AddReason(text::ShownText& text, const files::TransferResult& result) {
  switch (result.outcome) {
    case files::TransferOutcome::TargetNotWhole:
      text.AddWords(NotWholeReason(result.held));
      break;
    case files::TransferOutcome::TargetUnreadable:
      text.AddWords(": the target cannot be read back");
      break;
    case files::TransferOutcome::SourceLeft:
      text.AddWords(": it is at the target but still in its place too");
      break;
    case files::TransferOutcome::TargetPlacedEarlier:
      text.AddWords(": an item of the same name was just put there");
      break;
    case files::TransferOutcome::NoFreeName:
      text.AddWords(": no free name in the target folder");
      break;
    case files::TransferOutcome::Failed:
      text.AddWords(": " + OperationReason(result.operation));
      if (!result.operation.where.empty()) text.AddWords(": ").AddName(result.operation.where);
      break;
    case files::TransferOutcome::Done:
    case files::TransferOutcome::Stopped:
      break;
  }
}

}  // namespace

TransferCount TransferHits(platform::FileOperations& files, const text::Charset& cs, files::TransferCommand::Kind kind,
                           const std::vector<search::FoundRow>& rows, const std::string& folder, bool rename_on_clash,
                           std::FILE* err, files::TransferJournal* journal) {
  const char separator = files.Separator();
  const std::string target =
      text::EndsWithSeparator(cs, folder, separator) ? folder : folder + separator;
  // A copy too keeps the first of two items of one name: every item named
  // in the output is either in the target or still in its place.
  // A path found by several names is one item: taking it twice would copy it
  // twice, or fail the second move.
  std::unordered_set<std::string> taken;
  std::vector<const search::FoundRow*> items;
  for (const search::FoundRow& row : rows) {
    if (taken.insert(row.path).second) items.push_back(&row);
  }
  files::TransferCommand command(files, cs, kind, target, [&](const auto& each) {
    for (const search::FoundRow* item : items) each(item->path);
    return true;
  });
  command.RecordIn(journal);
  TransferCount count;
  for (const search::FoundRow* item : items) {
    const std::string& row = item->path;
    ++count.taken;
    const files::TransferResult result = command.Transfer(row, item->kind, rename_on_clash);
    if (!result.Done()) {
      ++count.failed;
      const bool move = kind == files::TransferCommand::Kind::Move;
      text::ShownText message(move ? "quellor-find: cannot move " : "quellor-find: cannot copy ");
      message.AddName(row);
      AddReason(message, result);
      WriteText(err, message.AddWords("\n"));
    }
  }
  return count;
}

}  // namespace quellor::cli
