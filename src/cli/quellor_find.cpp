// quellor-find: the search engine from the command line.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/find_options.h"
#include "cli/hit_actions.h"
#include "cli/row_printer.h"
#include "platform/command_line.h"
#include "platform/file_io.h"
#include "platform/file_operations.h"
#include "platform/fixed_drives.h"
#include "platform/folder_listing.h"
#include "platform/system_charset.h"
#include "search/search_run.h"

namespace quellor::cli {
namespace {

constexpr int kUsageError = 2;

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
  platform::UseBinaryStandardStreams();
  const text::Charset& cs = platform::SystemCharset();
  const std::optional<std::string> text =
      options.names_file == "-" ? ReadStandardInput() : platform::ReadWholeFile(options.names_file);
  if (!text) return UsageError("cannot read the names file " + options.names_file);
  const std::vector<std::string> names = NamesFromText(cs, *text);
  if (names.empty()) return UsageError("no names to search for (the names file holds no non-blank line)");

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
  RowRecorder recorder(printer, !target_folder.empty() || !options.not_found_file.empty());
  search::SearchRun(std::move(request), run_settings, recorder, stop, mode).Run();
  printer.Close();
  if (options.count_per_name) {
    for (std::size_t k = 0; k < names.size(); ++k) {
      std::fprintf(stdout, "%zu\t%s%c", printer.HitsPerKeyword()[k], names[k].c_str(),
                   options.null_separated ? '\0' : '\n');
    }
  }
  if (printer.WriteFailed() || std::fflush(stdout) != 0) {
    std::fprintf(stderr, "quellor-find: cannot write the results\n");
    return 1;
  }
  int status = 0;
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
    const search::MatchRules rules = search::RulesOf(run_settings, options.kind, options.mode);
    if (!WriteNotFoundFile(options.not_found_file, rules, run_settings.separator, names, recorder.Rows())) {
      std::fprintf(stderr, "quellor-find: cannot write %s\n", options.not_found_file.c_str());
      status = 1;
    }
  }
  return status;
}

}  // namespace
}  // namespace quellor::cli

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  return quellor::cli::Run(args);
}
