// The report of the keywords for which no row was found.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "search/match_rules.h"

namespace quellor::commands {

// 未搜到文件列表.txt: a file's name, so in UTF-8 as every name inside the
// program, whatever the charset of the build's own texts.
inline constexpr const char* kNotFoundReportName =
    "\xE6\x9C\xAA\xE6\x90\x9C\xE5\x88\xB0\xE6\x96\x87\xE4\xBB\xB6\xE5\x88\x97\xE8\xA1\xA8.txt";

// The keywords of `keyword_text` (split at CR LF) that match none of `names`
// by `rules`, each followed by CR LF, in keyword order. A blank keyword was
// never searched for: it counts as found when there is at least one name.
std::string BuildNotFoundReport(const search::MatchRules& rules, std::string_view keyword_text,
                                const std::vector<std::string_view>& names);

// The same for keywords already apart: never joined and cut again, which a
// keyword ending in a double-byte lead byte would not survive.
std::string BuildNotFoundReport(const search::MatchRules& rules, const std::vector<std::string>& keywords,
                                const std::vector<std::string_view>& names);

}  // namespace quellor::commands
