#include "search/match_rules.h"

#include <vector>

#include "text/path_scan.h"

namespace quellor::search {

namespace {

struct Char {
  std::size_t pos;
  std::size_t len;
};

std::vector<Char> Characters(const text::Charset& cs, std::string_view s) {
  std::vector<Char> chars;
  for (std::size_t pos = 0; pos < s.size();) {
    const std::size_t len = cs.CharLength(s, pos);
    chars.push_back(Char{pos, len});
    pos += len;
  }
  return chars;
}

bool HoldsSeparator(const text::Charset& cs, std::string_view keyword, std::string_view separators) {
  for (std::size_t pos = 0; pos < keyword.size(); pos += cs.CharLength(keyword, pos)) {
    if (cs.CharLength(keyword, pos) == 1 && separators.find(keyword[pos]) != std::string_view::npos) return true;
  }
  return false;
}

}  // namespace

bool WildcardMatches(const text::Charset& cs, std::string_view pattern, std::string_view name) {
  const std::vector<Char> p = Characters(cs, pattern);
  const std::vector<Char> n = Characters(cs, name);
  auto is = [&](std::size_t i, char c) { return p[i].len == 1 && pattern[p[i].pos] == c; };
  auto same = [&](std::size_t i, std::size_t j) {
    return p[i].len == n[j].len && pattern.compare(p[i].pos, p[i].len, name, n[j].pos, n[j].len) == 0;
  };
  // Greedy match with backtracking to the last star: linear for one star,
  // never exponential.
  std::size_t i = 0, j = 0;
  std::size_t star = std::string_view::npos, star_j = 0;
  while (j < n.size()) {
    if (i < p.size() && is(i, '*')) {
      star = i++;
      star_j = j;
    } else if (i < p.size() && (is(i, '?') || same(i, j))) {
      ++i;
      ++j;
    } else if (star != std::string_view::npos) {
      i = star + 1;
      j = ++star_j;
    } else {
      return false;
    }
  }
  while (i < p.size() && is(i, '*')) ++i;
  return i == p.size();
}

bool NameMatchesKeyword(const MatchRules& rules, std::string_view name, std::string_view keyword) {
  const text::Charset& cs = *rules.charset;
  if (keyword.empty() || HoldsSeparator(cs, keyword, rules.path_separators)) return false;
  if (rules.kind == NameKind::Folders) {
    if (rules.mode == MatchMode::Exact) return text::EqualsIgnoringAsciiCase(cs, name, keyword);
    return text::FindIgnoringAsciiCase(cs, name, keyword) != std::string_view::npos;
  }
  const std::string folded_name = rules.fold_file_name(cs, name);
  const std::string folded_keyword = rules.fold_file_name(cs, keyword);
  if (rules.mode == MatchMode::Fuzzy) return WildcardMatches(cs, "*" + folded_keyword + "*", folded_name);
  return WildcardMatches(cs, folded_keyword, folded_name) || WildcardMatches(cs, folded_keyword + ".*", folded_name);
}

}  // namespace quellor::search
