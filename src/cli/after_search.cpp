#include "cli/after_search.h"

#include <cstdio>
#include <memory>

#include "cli/hit_actions.h"
#include "cli/stream_text.h"
#include "cli/transfer_journal_file.h"
#include "files/transfer_journal.h"
#include "files/result_export.h"
#include "platform/file_io.h"
#include "platform/file_operations.h"
#include "platform/system_error.h"

namespace quellor::cli {

namespace {

bool WriteFile(const std::string& path, const std::string& bytes) {
  if (platform::WriteWholeFileReplacing(path, bytes)) return true;
  WriteText(stderr, text::ShownText("quellor-find: cannot write ").AddName(path).AddWords("\n"));
  return false;
}

// quellor-find's hits as export rows: size and time as the search's listing
// told them (Windows' does), else each item looked at as its row is written
// (a POSIX listing tells neither; a volume's rows are never looked at). Its tick column
// stays empty: quellor-find has no ticks, and a 否 would say that someone
// left the row unticked.
class FoundRows : public files::ExportRows {
 public:
  FoundRows(const std::vector<search::FoundRow>& rows, const std::vector<std::size_t>& row_keywords,
            const std::vector<std::string>& keywords, const platform::FileSystem* look_up)
      : rows_(rows), row_keywords_(row_keywords), keywords_(keywords), look_up_(look_up) {}
  std::size_t Count() const override { return rows_.size(); }
  files::ExportRow Row(std::size_t index) const override {
    files::ExportRow row;
    row.path = rows_[index].path;
    row.kind = rows_[index].kind;
    row.keyword = keywords_[row_keywords_[index]];
    const platform::EntryFacts& facts = rows_[index].facts;
    if (facts.known) {
      row.size = facts.size;
      row.modified = facts.modified;
    } else if (look_up_ != nullptr) {
      files::LookUpItem(*look_up_, row);
    }
    return row;
  }

 private:
  const std::vector<search::FoundRow>& rows_;
  const std::vector<std::size_t>& row_keywords_;
  const std::vector<std::string>& keywords_;
  const platform::FileSystem* look_up_;
};

}  // namespace

bool FinishStandardOutput(const FindOptions& options, const files::NamesFile& file, const std::vector<NameOutcome>& outcomes,
                          bool rows_refused) {
  if (options.count_per_name) {
    StreamText out(stdout, options.utf8);
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
      rows_refused |= !out.Write(text::ShownText(std::to_string(outcomes[i].hits) + "\t")
                                     .AddName(files::PrintableName(file.names[i]))
                                     .AddWords(std::string(1, options.null_separated ? '\0' : '\n')));
    }
  }
  // The copy, the move and the report still run: the user asked for them.
  if (rows_refused || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "quellor-find: cannot write the results\n");
    return false;
  }
  return true;
}

bool Transfer(const FindOptions& options, const std::string& folder, const std::vector<search::FoundRow>& rows,
              const text::Charset& cs) {
  if (folder.empty()) return true;
  const bool move = !options.move_to.empty();
  const std::unique_ptr<platform::FileOperations> files = platform::MakeSystemFileOperations();
  const files::TransferCommand::Kind kind = move ? files::TransferCommand::Kind::Move : files::TransferCommand::Kind::Copy;
  // The batch runs unrecorded where the journal cannot be written: the user
  // asked for the copy. Without hits the last batch's journal is kept.
  const std::string journal_path = JournalPath(options, cs);
  std::unique_ptr<files::JournalRecorder> journal;
  if (!journal_path.empty() && !rows.empty()) journal = files::JournalRecorder::Start(journal_path, kind, *files);
  bool recorded = journal != nullptr || rows.empty();
  if (!recorded) {
    WriteText(stderr, text::ShownText("quellor-find: cannot write the journal ")
                          .AddName(journal_path.empty() ? "beside the program" : journal_path)
                          .AddWords(": --undo cannot take this batch back\n"));
  }
  const TransferCount count =
      TransferHits(*files, cs, kind, rows, folder, options.rename_on_clash, stderr, journal.get());
  if (journal && !journal->Intact()) {
    recorded = false;
    WriteText(stderr, text::ShownText("quellor-find: the journal ")
                          .AddName(journal_path)
                          .AddWords(" could not be written to the end: --undo cannot take every item back\n"));
  }
  if (count.failed > 0 || !options.quiet) {
    WriteText(stderr, text::ShownText("quellor-find: " + std::string(move ? "moved " : "copied ") +
                                      std::to_string(count.taken - count.failed) + " of " +
                                      std::to_string(count.taken) + " items into ")
                          .AddName(folder)
                          .AddWords("; " + std::to_string(count.failed) + " failed\n"));
  }
  return count.failed == 0 && recorded;
}

bool WriteNotFound(const FindOptions& options, const files::NamesFile& file, const std::vector<NameOutcome>& outcomes) {
  if (options.not_found_file.empty()) return true;
  std::vector<std::string> not_found;
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    if (outcomes[i].hits == 0) not_found.push_back(file.names[i].original);
  }
  return WriteFile(options.not_found_file, files::TextLikeNamesFile(file, not_found));
}

bool WriteLedger(const FindOptions& options, const files::NamesFile& file, const std::vector<NameOutcome>& outcomes) {
  return options.ledger_file.empty() || WriteFile(options.ledger_file, LedgerText(file, outcomes));
}

bool WriteExport(const FindOptions& options, const std::vector<search::FoundRow>& rows,
                 const std::vector<std::size_t>& row_keywords, const std::vector<std::string>& keywords, bool volume) {
  if (options.export_file.empty()) return true;
  const std::unique_ptr<platform::FileSystem> system = platform::MakeSystemFileSystem();
  const FoundRows found(rows, row_keywords, keywords, volume ? nullptr : system.get());
  const int error = files::ExportResults(options.export_file, found, files::ExportFormat::Csv);
  if (error == 0) return true;
  WriteText(stderr, text::ShownText("quellor-find: cannot write ")
                        .AddName(options.export_file)
                        .AddWords(": " + platform::SystemErrorText(error) + "\n"));
  return false;
}

}  // namespace quellor::cli
