#include "search/match_rules.h"

#include <vector>

#include "text/path_scan.h"

namespace quellor::search {

namespace {

// One character of a pattern: a wildcard or literal bytes.
struct PatternChar {
  std::string_view bytes;
  bool star = false;
  bool any = false;
};

template <typename Length>
std::vector<std::string_view> Characters(std::string_view s, Length length) {
  std::vector<std::string_view> chars;
  for (std::size_t pos = 0; pos < s.size();) {
    const std::size_t len = length(s, pos);
    chars.push_back(s.substr(pos, len));
    pos += len;
  }
  return chars;
}

template <typename Length>
std::vector<PatternChar> PatternOf(std::string_view pattern, Length length) {
  std::vector<PatternChar> p;
  for (std::string_view c : Characters(pattern, length)) p.push_back(PatternChar{c, c == "*", c == "?"});
  return p;
}

// Greedy match with backtracking to the last star: linear for one star,
// never exponential.
bool Matches(const std::vector<PatternChar>& p, const std::vector<std::string_view>& n) {
  std::size_t i = 0, j = 0;
  std::size_t star = std::string_view::npos, star_j = 0;
  while (j < n.size()) {
    if (i < p.size() && p[i].star) {
      star = i++;
      star_j = j;
    } else if (i < p.size() && (p[i].any || p[i].bytes == n[j])) {
      ++i;
      ++j;
    } else if (star != std::string_view::npos) {
      i = star + 1;
      j = ++star_j;
    } else {
      return false;
    }
  }
  while (i < p.size() && p[i].star) ++i;
  return i == p.size();
}

}  // namespace

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

std::size_t NameCharLength(const MatchRules& rules, std::string_view text, std::size_t pos) {
  return rules.utf8_names ? Utf8SequenceLength(text, pos) : rules.charset->CharLength(text, pos);
}

bool WildcardMatches(const text::Charset& cs, std::string_view pattern, std::string_view name) {
  auto length = [&cs](std::string_view s, std::size_t pos) { return cs.CharLength(s, pos); };
  return Matches(PatternOf(pattern, length), Characters(name, length));
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
  auto length = [&rules](std::string_view s, std::size_t pos) { return NameCharLength(rules, s, pos); };
  const std::string folded_name = rules.fold_file_name(cs, name);
  const std::string folded_keyword = rules.fold_file_name(cs, keyword);
  const std::vector<std::string_view> n = Characters(folded_name, length);
  std::vector<PatternChar> p = PatternOf(folded_keyword, length);
  if (rules.mode == MatchMode::Fuzzy) {
    p.insert(p.begin(), PatternChar{"*", true, false});
    p.push_back(PatternChar{"*", true, false});
    return Matches(p, n);
  }
  if (Matches(p, n)) return true;
  p.push_back(PatternChar{".", false, false});
  p.push_back(PatternChar{"*", true, false});
  return Matches(p, n);
}

}  // namespace quellor::search
