// Which keywords no row answers, and the report file that lists them.
#include "commands/not_found_report.h"

#include "platform/file_io.h"
#include "platform/file_operations.h"
#include "platform/shell.h"
#include "search/keyword_matcher.h"
#include "search/search_run.h"
#include "text/line_split.h"
#include "text/path_scan.h"

namespace quellor::commands {

std::string BuildNotFoundReport(const search::MatchRules& rules, std::string_view keyword_text,
                                const std::vector<std::string_view>& names) {
  return BuildNotFoundReport(rules, text::SplitLines(*rules.charset, keyword_text), names);
}

std::string BuildNotFoundReport(const search::MatchRules& rules, const std::vector<std::string>& keywords,
                                const std::vector<std::string_view>& names) {
  const text::Charset& cs = *rules.charset;
  std::vector<bool> found(keywords.size(), false);

  std::vector<std::string> searched;
  std::vector<std::size_t> searched_index;
  for (std::size_t i = 0; i < keywords.size(); ++i) {
    if (text::IsBlankLine(cs, keywords[i])) {
      found[i] = !names.empty();
    } else {
      searched.push_back(keywords[i]);
      searched_index.push_back(i);
    }
  }
  if (!searched.empty()) {
    const search::KeywordMatcher matcher(std::move(searched), rules);
    std::size_t missing = searched_index.size();
    for (std::string_view name : names) {
      matcher.ForEachMatch(name, [&](std::size_t k) {
        if (!found[searched_index[k]]) --missing;
        found[searched_index[k]] = true;
      });
      if (missing == 0) break;  // every keyword is answered: the other names change nothing
    }
  }

  std::string report;
  for (std::size_t i = 0; i < keywords.size(); ++i) {
    if (found[i]) continue;
    report += keywords[i];
    report += "\r\n";
  }
  return report;
}

}  // namespace quellor::commands
