// When a name matches a keyword: the rules of a search, one pair at a time.
// This is the definition every faster matcher must agree with.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/case_fold.h"
#include "text/charset.h"

namespace quellor::search {

enum class MatchMode { Exact, Fuzzy };
enum class NameKind { Files, Folders };

// Turns a name into the form in which letter case no longer matters. It keeps
// the length of every character.
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
  // File names are UTF-8: the characters that '?' and '*' step over are
  // UTF-8 sequences (a byte that starts none is a character of its own).
  bool utf8_names = false;
};

// File names are selected as the platform's file search selects them for the
// pattern `keyword.*` (exact: the name, or the name followed by a dot and
// anything) or `*keyword*` (fuzzy), '*' and '?' in a keyword being wildcards
// with the platform's rules (wildcard_pattern.h). Folder names compare
// literally: exact is equality, fuzzy is a substring, A-Z folded.
bool NameMatchesKeyword(const MatchRules& rules, std::string_view name, std::string_view keyword);

// The pattern a file-name search hands the platform's file search for a
// keyword, cut into characters: exact `keyword.*`, fuzzy `*keyword*`.
std::vector<std::string_view> FileSearchPattern(MatchMode mode, const std::vector<std::string_view>& keyword);

// Bytes of the UTF-8 sequence at `pos`; 1 for a byte that starts no complete one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos);

// True when `keyword` can match a name at all: it is not empty and holds no
// path separator (looked for one whole character at a time).
bool KeywordCanMatch(const MatchRules& rules, std::string_view keyword);

}  // namespace quellor::search
