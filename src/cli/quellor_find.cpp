// quellor-find: the search engine from the command line.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/after_search.h"
#include "cli/find_options.h"
#include "cli/ledger.h"
#include "cli/search_hits.h"
#include "cli/searched_names.h"
#include "cli/stream_text.h"
#include "cli/transfer_journal_file.h"
#include "cli/volume_index_read.h"
#include "platform/command_line.h"
#include "platform/folder_listing.h"
#include "platform/system_charset.h"
#include "quellor_version.h"

namespace quellor::cli {
namespace {

constexpr int kUsageError = 2;
constexpr int kSomeNamesNotFound = 3;  // with --ledger

// Usage errors are ASCII around the user's own arguments and paths: names, as
// far as converting them goes.
int UsageError(const std::string& message) {
  WriteText(stderr, text::ShownText("quellor-find: ")
                        .AddName(message)
                        .AddWords("\nTry 'quellor-find --help' for more information.\n"));
  return kUsageError;
}

int PrintHelpOrVersion(const FindOptions& options) {
  std::fputs(options.help ? FindHelpText().c_str() : "quellor-find " QUELLOR_VERSION "\n", stdout);
  return 0;
}

void PrepareStandardStreams(const FindOptions& options) {
  platform::UseBinaryStandardStreams();
  if (!options.copy_to.empty() || !options.move_to.empty() || !options.not_found_file.empty() ||
      !options.ledger_file.empty() || !options.export_file.empty() || options.undo) {
    platform::SurviveClosedOutput();
  }
}

// The folder the hits go into, checked before the search, not after a long
// one: "" for none; nothing (after a usage error) when it is no folder.
std::optional<std::string> CheckTarget(const FindOptions& options) {
  const std::string target = options.copy_to.empty() ? options.move_to : options.copy_to;
  if (target.empty()) return std::string();
  std::string folder = platform::AbsolutePath(target);
  if (folder.empty() || !platform::IsExistingFolder(folder)) {
    UsageError(target + " is not a folder");
    return std::nullopt;
  }
  return folder;
}

// One outcome per line of the names file; none found for a name not searched for.
std::vector<NameOutcome> OutcomesByLine(const SearchedNames& names, std::vector<NameOutcome> by_keyword) {
  std::vector<NameOutcome> outcomes;
  for (const std::optional<std::size_t>& keyword : names.keyword_of_line) {
    outcomes.push_back(keyword ? std::move(by_keyword[*keyword]) : NameOutcome{});
  }
  return outcomes;
}

// 1 for anything that failed; else, with a ledger, 3 when a name found nothing.
int ExitStatus(const FindOptions& options, bool failed, const std::vector<NameOutcome>& outcomes) {
  if (failed) return 1;
  const bool all_found = std::all_of(outcomes.begin(), outcomes.end(), [](const NameOutcome& o) { return o.hits > 0; });
  return options.ledger_file.empty() || all_found ? 0 : kSomeNamesNotFound;
}

int Run(const std::vector<std::string>& arguments) {
  const std::vector<std::string_view> args(arguments.begin(), arguments.end());
  const ParsedOptions parsed = ParseFindOptions(args);
  if (!parsed.options) return UsageError(parsed.error);
  const FindOptions& options = *parsed.options;
  if (options.help || options.version) return PrintHelpOrVersion(options);
  PrepareStandardStreams(options);
  const text::Charset& cs = platform::NameCharset();
  if (options.undo) return UndoLastTransfer(options, cs);
  const NamesRead read = ReadSearchedNames(options.names_file, stderr);
  if (!read.names) return UsageError(read.error);
  const std::optional<std::string> target = CheckTarget(options);
  if (!target) return kUsageError;
  VolumeRead volume;
  if (!options.volume.empty()) {
    volume = ReadVolume(options.volume, options.quiet, platform::StandardErrorIsTerminal(), stderr);
    if (!volume.index) return 1;
  }
  const bool keep_rows = !target->empty() || !options.export_file.empty();
  Hits hits = SearchHits(options, read.names->keywords, keep_rows, cs, volume.index);
  const std::vector<NameOutcome> outcomes = OutcomesByLine(*read.names, std::move(hits.by_keyword));
  const files::NamesFile& file = read.names->file;
  bool failed = !FinishStandardOutput(options, file, outcomes, hits.write_failed);
  failed |= hits.folders_not_read > 0 || volume.records_skipped;
  failed |= hits.paths_not_printed > 0;
  // Before a move: the sizes and times of the items where they were found.
  failed |= !WriteExport(options, hits.rows, hits.row_keywords, read.names->keywords, volume.index != nullptr);
  failed |= !Transfer(options, *target, hits.rows, cs);
  failed |= !WriteNotFound(options, file, outcomes);
  failed |= !WriteLedger(options, file, outcomes);
  return ExitStatus(options, failed, outcomes);
}

}  // namespace
}  // namespace quellor::cli

int main(int argc, char** argv) {
  return quellor::cli::Run(quellor::platform::CommandLineArguments(argc, argv));
}
