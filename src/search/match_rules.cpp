#include "search/match_rules.h"

#include <vector>

#include "search/name_characters.h"
#include "search/wildcard_pattern.h"
#include "text/path_scan.h"

namespace quellor::search {

std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos) {
  const unsigned char b = static_cast<unsigned char>(text[pos]);
  std::size_t len = 0;
  if (b >= 0xC2 && b <= 0xDF) {
    len = 2;
  } else if (b >= 0xE0 && b <= 0xEF) {
    len = 3;
  } else if (b >= 0xF0 && b <= 0xF4) {
    len = 4;
  } else {
    return 1;
  }
  if (pos + len > text.size()) return 1;
  for (std::size_t k = 1; k < len; ++k) {
    if ((static_cast<unsigned char>(text[pos + k]) & 0xC0) != 0x80) return 1;
  }
  return len;
}

std::vector<std::string_view> FileSearchPattern(MatchMode mode, const std::vector<std::string_view>& keyword) {
  std::vector<std::string_view> pattern;
  pattern.reserve(keyword.size() + 2);
  if (mode == MatchMode::Fuzzy) pattern.push_back("*");
  pattern.insert(pattern.end(), keyword.begin(), keyword.end());
  if (mode == MatchMode::Exact) pattern.push_back(".");
  pattern.push_back("*");
  return pattern;
}

bool KeywordCanMatch(const MatchRules& rules, std::string_view keyword) {
  const text::Charset& cs = *rules.charset;
  if (keyword.empty()) return false;
  for (std::size_t pos = 0; pos < keyword.size(); pos += cs.CharLength(keyword, pos)) {
    if (cs.CharLength(keyword, pos) == 1 && rules.path_separators.find(keyword[pos]) != std::string_view::npos)
      return false;
  }
  return true;
}

bool NameMatchesKeyword(const MatchRules& rules, std::string_view name, std::string_view keyword) {
  const text::Charset& cs = *rules.charset;
  if (!KeywordCanMatch(rules, keyword)) return false;
  if (rules.kind == NameKind::Folders) {
    if (rules.mode == MatchMode::Exact) return text::EqualsIgnoringAsciiCase(cs, name, keyword);
    return text::FindIgnoringAsciiCase(cs, name, keyword) != std::string_view::npos;
  }
  // The keyword's characters are taken from the keyword alone, so a
  // malformed last character never pairs with the '.' or '*' added to it.
  const std::string folded_name = rules.fold_file_name(cs, name);
  const std::string folded_keyword = rules.fold_file_name(cs, keyword);
  const CharacterStepper step(cs, rules.utf8_names);
  std::vector<std::string_view> characters;
  step.Cut(folded_keyword, characters);
  return WildcardPattern(FileSearchPattern(rules.mode, characters)).Matches(folded_name, step);
}

}  // namespace quellor::search
