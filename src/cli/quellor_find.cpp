// quellor-find: the search engine from the command line.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/find_options.h"
#include "cli/hit_actions.h"
#include "cli/ledger.h"
#include "cli/names_file.h"
#include "cli/row_printer.h"
#include "platform/command_line.h"
#include "platform/file_io.h"
#include "platform/file_operations.h"
#include "platform/fixed_drives.h"
#include "platform/folder_listing.h"
#include "platform/system_charset.h"
#include "quellor_version.h"
#include "search/search_run.h"

namespace quellor::cli {
namespace {

constexpr int kUsageError = 2;
constexpr int kSomeNamesNotFound = 3;  // with --ledger

int UsageError(const std::string& message) {
  std::fprintf(stderr, "quellor-find: %s\nTry 'quellor-find --help' for more information.\n", message.c_str());
  return kUsageError;
}

std::optional<std::string> ReadStandardInput() {
  std::string bytes;
  char buffer[65536];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) bytes.append(buffer, got);
  if (std::ferror(stdin)) return std::nullopt;
  return bytes;
}

std::vector<std::string> Roots(const FindOptions& options) {
  if (options.whole_computer) return platform::FixedDriveRoots();
  std::vector<std::string> given = options.roots;
  if (given.empty()) given.push_back(".");
  std::vector<std::string> roots;
  for (const std::string& root : given) {
    std::string absolute = platform::AbsolutePath(root);
    if (absolute.empty()) absolute = root;
    if (!platform::IsExistingFolder(absolute)) {
      std::fprintf(stderr, "quellor-find: warning: %s is not a folder; nothing is found in it\n", root.c_str());
    }
    roots.push_back(std::move(absolute));
  }
  return roots;
}

int Run(const std::vector<std::string_view>& args) {
  const ParsedOptions parsed = ParseFindOptions(args);
  if (!parsed.options) return UsageError(parsed.error);
  const FindOptions& options = *parsed.options;
  if (options.help) {
    std::fputs(FindHelpText().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::fputs("quellor-find " QUELLOR_VERSION "\n", stdout);
    return 0;
  }
  platform::UseBinaryStandardStreams();
  if (!options.copy_to.empty() || !options.move_to.empty() || !options.not_found_file.empty() ||
      !options.ledger_file.empty()) {
    platform::SurviveClosedOutput();
  }
  const text::Charset& cs = platform::SystemCharset();
  const std::optional<std::string> bytes =
      options.names_file == "-" ? ReadStandardInput() : platform::ReadWholeFile(options.names_file);
  if (!bytes) return UsageError("cannot read the names file " + options.names_file);
  const NamesFile names_file = ReadNamesFile(*bytes);
  if (names_file.names.empty()) return UsageError("no names to search for (the names file holds no non-blank line)");
  // A name that cannot be searched for is named here and reported as not
  // found, never dropped or garbled.
  std::vector<std::string> names;
  std::vector<std::optional<std::size_t>> keyword_of_name;
  for (const NameLine& name : names_file.names) {
    if (name.searched) {
      keyword_of_name.emplace_back(names.size());
      names.push_back(*name.searched);
    } else {
      keyword_of_name.emplace_back();
      std::fprintf(stderr, "quellor-find: line %zu of the names file (%s): %s; it is not searched for\n", name.line,
                   PrintableName(name).c_str(), name.problem.c_str());
    }
  }

  // The target folder is checked before the search, not after a long one.
  const std::string target = options.copy_to.empty() ? options.move_to : options.copy_to;
  std::string target_folder;
  if (!target.empty()) {
    target_folder = platform::AbsolutePath(target);
    if (target_folder.empty() || !platform::IsExistingFolder(target_folder)) {
      return UsageError(target + " is not a folder");
    }
  }

  search::RunRequest request{names, Roots(options), options.kind};
  RowPrinter::Settings settings;
  settings.null_separated = options.null_separated;
  settings.print_rows = !options.count_per_name;
  settings.status = !options.quiet;
  settings.progress = platform::StandardErrorIsTerminal();
  static char out_buffer[1 << 16];
  std::setvbuf(stdout, out_buffer, _IOFBF, sizeof out_buffer);
  RowPrinter printer(names, settings, stdout, stderr);
  const std::atomic<bool> stop{false};
  const std::atomic<search::MatchMode> mode{options.mode};
  const search::RunSettings run_settings = search::PlatformRunSettings(cs);
  HitTally tally(printer, names.size());
  RowRecorder recorder(tally, !target_folder.empty());
  if (!names.empty()) search::SearchRun(std::move(request), run_settings, recorder, stop, mode).Run();
  printer.Close();
  std::vector<NameOutcome> outcomes;
  for (const std::optional<std::size_t>& keyword : keyword_of_name) {
    outcomes.push_back(keyword ? tally.Outcomes()[*keyword] : NameOutcome{});
  }
  if (options.count_per_name) {
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
      std::fprintf(stdout, "%zu\t%s%c", outcomes[i].hits, PrintableName(names_file.names[i]).c_str(),
                   options.null_separated ? '\0' : '\n');
    }
  }
  int status = 0;
  // The copy, the move and the report still run: the user asked for them.
  if (printer.WriteFailed() || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "quellor-find: cannot write the results\n");
    status = 1;
  }
  if (printer.FoldersNotRead() > 0) status = 1;
  if (!target_folder.empty()) {
    const bool move = !options.move_to.empty();
    const std::unique_ptr<platform::FileOperations> files = platform::MakeSystemFileOperations();
    const TransferCount count =
        TransferHits(*files, cs, move ? platform::FileOperationKind::Move : platform::FileOperationKind::Copy,
                     recorder.Rows(), target_folder, options.rename_on_clash, stderr);
    if (count.failed > 0 || !options.quiet) {
      std::fprintf(stderr, "quellor-find: %s %zu of %zu items into %s; %zu failed\n", move ? "moved" : "copied",
                   count.taken - count.failed, count.taken, target_folder.c_str(), count.failed);
    }
    if (count.failed > 0) status = 1;
  }
  if (!options.not_found_file.empty()) {
    std::vector<std::string> not_found;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
      if (outcomes[i].hits == 0) not_found.push_back(names_file.names[i].original);
    }
    if (!platform::WriteWholeFileReplacing(options.not_found_file, TextLikeNamesFile(names_file, not_found))) {
      std::fprintf(stderr, "quellor-find: cannot write %s\n", options.not_found_file.c_str());
      status = 1;
    }
  }
  if (!options.ledger_file.empty()) {
    if (!platform::WriteWholeFileReplacing(options.ledger_file, LedgerText(names_file, outcomes))) {
      std::fprintf(stderr, "quellor-find: cannot write %s\n", options.ledger_file.c_str());
      status = 1;
    }
    const bool all_found =
        std::all_of(outcomes.begin(), outcomes.end(), [](const NameOutcome& o) { return o.hits > 0; });
    if (status == 0 && !all_found) status = kSomeNamesNotFound;
  }
  return status;
}

}  // namespace
}  // namespace quellor::cli

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  return quellor::cli::Run(args);
}
