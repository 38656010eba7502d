#include "cli/transfer_journal_file.h"

#include <cstdio>
#include <memory>

#include "cli/hit_actions.h"
#include "cli/stream_text.h"
#include "files/transfer_undo.h"
#include "platform/command_line.h"
#include "platform/file_operations.h"
#include "platform/system_charset.h"
#include "text/path_scan.h"

namespace quellor::cli {

namespace {

std::string LeftReason(const files::LeftItem& item) {
  switch (item.reason) {
    case files::UndoReason::NotCompleted:
      return "the copy or move ended before it was known what became of it";
    case files::UndoReason::PlacedOverExisting:
      return "it replaced or was merged into an item that was there, which cannot be given back";
    case files::UndoReason::TargetChanged:
      return "it is no longer the item placed there (changed, replaced or gone)";
    case files::UndoReason::OldPlaceTaken:
      return "something is in its old place now";
    case files::UndoReason::OldFolderGone:
      return "its old folder is gone";
    case files::UndoReason::ActionFailed:
      return OperationReason(item.operation);
    case files::UndoReason::Undone:
    case files::UndoReason::Failed:
    case files::UndoReason::AlreadyUndone:
      break;
  }
  return "";
}

}  // namespace

std::string JournalPath(const FindOptions& options, const text::Charset& cs) {
  if (!options.journal_file.empty()) return options.journal_file;
  const std::string executable = platform::ExecutablePath();
  const std::size_t last = text::FindLastSeparator(cs, executable, platform::kPathSeparator);
  if (last == std::string::npos) return {};
  return executable.substr(0, last + 1) + "quellor-find.journal";
}

int UndoLastTransfer(const FindOptions& options, const text::Charset& cs) {
  const std::string journal = JournalPath(options, cs);
  if (journal.empty()) {
    std::fputs("quellor-find: the program's folder, where the journal is kept, cannot be found\n", stderr);
    return 1;
  }
  const std::unique_ptr<platform::FileOperations> files = platform::MakeSystemFileOperations();
  const files::UndoResult undo = files::UndoLastBatch(journal, *files, cs);
  const std::size_t undone = undo.Count(files::UndoReason::Undone);
  if (!undo.found || (undone == 0 && undo.left.empty())) {
    WriteText(stderr, text::ShownText("quellor-find: nothing to undo in ").AddName(journal).AddWords("\n"));
    return 1;
  }
  const bool move = undo.kind == files::TransferCommand::Kind::Move;
  for (const files::LeftItem& item : undo.left) {
    text::ShownText line("quellor-find: left ");
    line.AddName(item.target);
    if (move) line.AddWords(" (moved from ").AddName(item.source).AddWords(")");
    WriteText(stderr, line.AddWords(": " + LeftReason(item) + "\n"));
  }
  if (undo.record_failed) {
    WriteText(stderr, text::ShownText("quellor-find: cannot record in ").AddName(journal).AddWords(" what was undone\n"));
  }
  if (!undo.left.empty() || !options.quiet) {
    const std::size_t nothing = undo.Count(files::UndoReason::Failed) + undo.Count(files::UndoReason::AlreadyUndone);
    const std::string summary = "quellor-find: undid the last " + std::string(move ? "move: " : "copy: ") +
                                std::to_string(undone) + (move ? " moved back, " : " copies removed, ") +
                                std::to_string(undo.left.size()) + " left, " + std::to_string(nothing) +
                                " with nothing to undo\n";
    std::fputs(summary.c_str(), stderr);
  }
  return undo.left.empty() && !undo.record_failed ? 0 : 1;
}

}  // namespace quellor::cli
