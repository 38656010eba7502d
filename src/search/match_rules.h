// When a name matches a keyword: the rules of a search, one pair at a time.
// This is the definition every faster matcher must agree with.
#pragma once

#include <string>
#include <string_view>

#include "text/case_fold.h"
#include "text/charset.h"

namespace quellor::search {

enum class MatchMode { Exact, Fuzzy };
enum class NameKind { Files, Folders };

// Turns a name into the form in which letter case no longer matters.
using NameFolding = std::string (*)(const text::Charset&, std::string_view);

struct MatchRules {
  NameKind kind = NameKind::Files;
  MatchMode mode = MatchMode::Exact;
  const text::Charset* charset = nullptr;
  // File names: folded as the file system folds them (A-Z only on POSIX).
  // Folder names are always compared with A-Z folded only.
  NameFolding fold_file_name = &text::FoldAsciiCase;
  // A keyword holding one of these characters matches nothing.
  std::string_view path_separators = "/";
};

// File names follow the file system's wildcard rules: exact is the pattern
// `keyword.*` (the name, or the name followed by a dot and anything), fuzzy is
// `*keyword*`; '*' and '?' in a keyword are wildcards. Folder names compare
// literally: exact is equality, fuzzy is a substring, A-Z folded.
bool NameMatchesKeyword(const MatchRules& rules, std::string_view name, std::string_view keyword);

// Wildcard match of a whole name, one character at a time: '*' any run of
// characters (dots included, possibly empty), '?' exactly one character.
bool WildcardMatches(const text::Charset& cs, std::string_view pattern, std::string_view name);

}  // namespace quellor::search
