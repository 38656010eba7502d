#include "cli/hit_actions.h"

#include <unordered_set>

#include "actions/file_transfer.h"
#include "actions/not_found_report.h"
#include "platform/file_io.h"
#include "text/line_split.h"
#include "text/path_scan.h"

namespace quellor::cli {

TransferCount TransferHits(platform::FileOperations& files, const text::Charset& cs, platform::FileOperationKind kind,
                           const std::vector<std::string>& rows, const std::string& folder, bool rename_on_clash,
                           std::FILE* err) {
  const char separator = files.Separator();
  const std::string target =
      text::EndsWithSeparator(cs, folder, separator) ? folder : folder + separator;
  // A path found by several names is one item: taking it twice would copy it
  // twice, or fail the second move.
  std::unordered_set<std::string> taken;
  TransferCount count;
  for (const std::string& row : rows) {
    if (!taken.insert(row).second) continue;
    ++count.taken;
    if (!actions::TransferItem(files, cs, kind, row, target, rename_on_clash)) {
      ++count.failed;
      std::fprintf(err, "quellor-find: cannot %s %s\n", kind == platform::FileOperationKind::Move ? "move" : "copy",
                   row.c_str());
    }
  }
  return count;
}

bool WriteNotFoundFile(const std::string& path, const search::MatchRules& rules, char separator,
                       const std::vector<std::string>& names, const std::vector<std::string>& rows) {
  std::vector<std::string_view> row_names;
  row_names.reserve(rows.size());
  for (const std::string& row : rows) row_names.push_back(text::LastPathComponent(*rules.charset, row, separator));
  const std::string report =
      actions::BuildNotFoundReport(rules, text::JoinLinesWithBreaks(names), row_names);
  return platform::WriteWholeFileReplacing(path, report);
}

}  // namespace quellor::cli
