#include "cli/search_hits.h"

#include <cstdio>

#include "cli/hit_actions.h"
#include "cli/row_printer.h"
#include "cli/stream_text.h"
#include "platform/command_line.h"
#include "platform/fixed_drives.h"
#include "platform/folder_listing.h"
#include "platform/system_charset.h"
#include "search/search_engine.h"
#include "search/whole_computer_indexes.h"

namespace quellor::cli {

namespace {

std::vector<std::string> Roots(const FindOptions& options) {
  if (options.whole_computer) return platform::FixedDriveRoots();
  std::vector<std::string> given = options.roots;
  if (given.empty()) given.push_back(".");
  std::vector<std::string> roots;
  for (const std::string& root : given) {
    std::string absolute = platform::AbsolutePath(root);
    if (absolute.empty()) absolute = root;
    if (!platform::IsExistingFolder(absolute)) {
      WriteText(stderr, text::ShownText("quellor-find: warning: ")
                            .AddName(root)
                            .AddWords(" is not a folder; nothing is found in it\n"));
    }
    roots.push_back(std::move(absolute));
  }
  return roots;
}

}  // namespace

Hits SearchHits(const FindOptions& options, const std::vector<std::string>& keywords, bool keep_rows,
                const text::Charset& cs, std::shared_ptr<const ntfs::VolumeIndex> volume) {
  search::RunRequest request{keywords, {}, options.kind};
  if (volume) {
    request.roots.emplace_back(1, platform::kPathSeparator);
    request.indexes.push_back(std::move(volume));
  } else {
    request.roots = Roots(options);
    if (options.whole_computer && options.read_indexes) {
      request.index_source = std::make_shared<search::WholeComputerIndexes>(search::PlatformVolumeServices());
    }
  }
  RowPrinter::Settings settings;
  settings.null_separated = options.null_separated;
  settings.print_rows = !options.count_per_name;
  settings.status = !options.quiet;
  settings.progress = platform::StandardErrorIsTerminal();
  settings.utf8 = options.utf8;
  static char out_buffer[1 << 16];
  std::setvbuf(stdout, out_buffer, _IOFBF, sizeof out_buffer);
  RowPrinter printer(keywords, settings, stdout, stderr);
  HitTally tally(printer, keywords.size());
  RowRecorder recorder(tally, keep_rows);
  if (!keywords.empty()) {
    // No window to wake: the engine's reports all go to the chain, on the run's thread.
    search::SearchEngine engine(nullptr, search::Batching{});  // the tap takes every report: nothing is batched
    engine.SetMatchMode(options.mode);
    engine.Start(std::move(request), search::PlatformRunSettings(cs), &recorder);
    engine.WaitForEnd();
  }
  printer.Close();
  return {tally.TakeOutcomes(), recorder.TakeRows(), recorder.TakeKeywords(), printer.WriteFailed(),
          printer.FoldersNotRead(), printer.PathsNotPrinted()};
}

}  // namespace quellor::cli
