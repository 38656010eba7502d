// The fast matcher against the one-pair rules, on the examples of the rules
// and on random names and keywords in GBK and UTF-8.
#include <gtest/gtest.h>

#include <random>

#include "search/keyword_matcher.h"

namespace quellor::search {
namespace {

const text::Charset gbk = text::Charset::Gbk();
const text::Charset utf8 = text::Charset::Utf8();

MatchRules Rules(NameKind kind, MatchMode mode, const text::Charset& cs = utf8) {
  MatchRules rules;
  rules.kind = kind;
  rules.mode = mode;
  rules.charset = &cs;
  return rules;
}

std::vector<std::uint32_t> Matches(const KeywordMatcher& m, std::string_view name, std::string_view alias = {}) {
  KeywordMatcher::Scratch scratch;
  std::vector<std::uint32_t> found;
  m.CollectMatches(name, alias, scratch, found);
  return found;
}

bool Hit(NameKind kind, MatchMode mode, std::string_view name, std::string keyword, const text::Charset& cs = utf8) {
  const MatchRules rules = Rules(kind, mode, cs);
  const bool fast = !Matches(KeywordMatcher({keyword}, rules), name).empty();
  EXPECT_EQ(fast, NameMatchesKeyword(rules, name, keyword)) << name << " / " << keyword;
  return fast;
}

using Ids = std::vector<std::uint32_t>;

TEST(MatchRules, ExactIsTheNameWithOrWithoutWhatFollowsADot) {
  for (const char* name : {"abc", "ABC.TXT", "abc.tar.gz", "abc."}) {
    EXPECT_TRUE(Hit(NameKind::Files, MatchMode::Exact, name, "abc")) << name;
  }
  for (const char* name : {"abcd.txt", "xabc.txt", "ab", "abc-1.txt", ".abc"}) {
    EXPECT_FALSE(Hit(NameKind::Files, MatchMode::Exact, name, "abc")) << name;
  }
  EXPECT_TRUE(Hit(NameKind::Files, MatchMode::Exact, "a.txt", "a.txt"));
  EXPECT_TRUE(Hit(NameKind::Files, MatchMode::Exact, "a.txt.bak", "a.txt"));
  EXPECT_FALSE(Hit(NameKind::Files, MatchMode::Exact, "a.txtx", "a.txt"));
  // A trailing space is part of the keyword.
  EXPECT_TRUE(Hit(NameKind::Files, MatchMode::Exact, "abc .doc", "abc "));
  EXPECT_FALSE(Hit(NameKind::Files, MatchMode::Exact, "abc.doc", "abc "));
  EXPECT_TRUE(Hit(NameKind::Files, MatchMode::Exact, "..x", "."));
}

TEST(MatchRules, FuzzyFindsTheKeywordAnywhere) {
  for (const char* name : {"Report.doc", "PORT", "export.txt"}) {
    EXPECT_TRUE(Hit(NameKind::Files, MatchMode::Fuzzy, name, "port")) << name;
    EXPECT_TRUE(Hit(NameKind::Folders, MatchMode::Fuzzy, name, "port")) << name;
  }
  EXPECT_FALSE(Hit(NameKind::Files, MatchMode::Fuzzy, "pot", "port"));
}

TEST(MatchRules, WildcardsInFileNamesAreLiteralInFolderNames) {
  EXPECT_TRUE(Hit(NameKind::Files, MatchMode::Exact, "a1b.txt", "a?b"));
  EXPECT_TRUE(Hit(NameKind::Files, MatchMode::Exact, "a.x.b", "a*b"));
  EXPECT_TRUE(Hit(NameKind::Files, MatchMode::Exact, "ab", "a*b"));
  EXPECT_FALSE(Hit(NameKind::Files, MatchMode::Exact, "ab", "a?b"));
  EXPECT_TRUE(Hit(NameKind::Files, MatchMode::Fuzzy, "xxAyyBzz", "a*b"));
  EXPECT_TRUE(Hit(NameKind::Files, MatchMode::Exact, "anything", "*"));
  EXPECT_FALSE(Hit(NameKind::Folders, MatchMode::Exact, "a1b", "a?b"));
  EXPECT_TRUE(Hit(NameKind::Folders, MatchMode::Exact, "A?B", "a?b"));
  EXPECT_TRUE(Hit(NameKind::Folders, MatchMode::Fuzzy, "x*y", "*"));
  EXPECT_FALSE(Hit(NameKind::Folders, MatchMode::Fuzzy, "xy", "*"));
  // Folder names compare whole names: no extension rule.
  EXPECT_FALSE(Hit(NameKind::Folders, MatchMode::Exact, "abc.d", "abc"));
}

TEST(MatchRules, KeywordsHoldingASeparatorMatchNothing) {
  EXPECT_FALSE(Hit(NameKind::Files, MatchMode::Fuzzy, "a", "*/*"));
  EXPECT_FALSE(Hit(NameKind::Folders, MatchMode::Fuzzy, "a/b", "a/b"));
  MatchRules windows = Rules(NameKind::Files, MatchMode::Fuzzy, gbk);
  windows.path_separators = "\\/";
  // The trail byte of 乗 (81 5C) is no backslash.
  EXPECT_TRUE(NameMatchesKeyword(windows, "x\x81\x5C", "\x81\x5C"));
  EXPECT_FALSE(NameMatchesKeyword(windows, "x\\y", "x\\y"));
  EXPECT_EQ(Matches(KeywordMatcher({"\x81\x5C", "x\\y"}, windows), "x\x81\x5Cy"), Ids{0});
}

TEST(MatchRules, DoubleByteCharactersAreNeverSplitOrFolded) {
  // 0x81 0x61 is one GBK character whose trail byte is 'a'.
  EXPECT_FALSE(Hit(NameKind::Files, MatchMode::Fuzzy, "\x81\x61", "a", gbk));
  EXPECT_FALSE(Hit(NameKind::Folders, MatchMode::Fuzzy, "\x81\x61", "A", gbk));
  EXPECT_FALSE(Hit(NameKind::Files, MatchMode::Fuzzy, "\x81\x41", "\x81\x61", gbk));
  EXPECT_TRUE(Hit(NameKind::Files, MatchMode::Fuzzy, "a\x81\x61", "A", gbk));
  EXPECT_TRUE(Hit(NameKind::Files, MatchMode::Exact, "\x81\x61x", "?x", gbk));
  EXPECT_FALSE(Hit(NameKind::Files, MatchMode::Exact, "\x81\x61x", "??x", gbk));
  // A dot that is the trail byte of nothing still ends the keyword; a keyword
  // that ends in a lone lead byte never swallows the dot after it.
  EXPECT_FALSE(Hit(NameKind::Files, MatchMode::Exact, "\x81.txt", "\x81", gbk));
}

TEST(MatchRules, QuestionMarkTakesOneUtf8Character) {
  MatchRules rules = Rules(NameKind::Files, MatchMode::Exact);
  rules.utf8_names = true;
  const std::string e_acute = "\xC3\xA9";
  EXPECT_TRUE(NameMatchesKeyword(rules, "caf" + e_acute + "t.txt", "caf?t"));
  EXPECT_EQ(Matches(KeywordMatcher({"caf?t", "caf??t"}, rules), "caf" + e_acute + "t.txt"), Ids{0});
  // Not inside a sequence either.
  rules.mode = MatchMode::Fuzzy;
  EXPECT_FALSE(NameMatchesKeyword(rules, "x" + e_acute, "\xA9"));
  EXPECT_TRUE(Matches(KeywordMatcher({"\xA9"}, rules), "x" + e_acute).empty());
}

// What the platform's own file search selects, as its rewriting of '?', '*'
// and '.' makes it select them: a question mark before a dot or at the end
// may match nothing, a star before a dot stops at the last dot, a dot before
// a wildcard also matches the end of the name.
TEST(MatchRules, WildcardsSelectWhatThePlatformsFileSearchSelects) {
  auto exact = [](std::string_view name, std::string keyword) {
    return Hit(NameKind::Files, MatchMode::Exact, name, std::move(keyword));
  };
  auto fuzzy = [](std::string_view name, std::string keyword) {
    return Hit(NameKind::Files, MatchMode::Fuzzy, name, std::move(keyword));
  };
  for (const char* name : {"a.one", "ab.two", "abc", "ab", "a", "abc.d.e"}) EXPECT_TRUE(exact(name, "a??")) << name;
  for (const char* name : {"abcd", "abcd.e", "b.one"}) EXPECT_FALSE(exact(name, "a??")) << name;
  for (const char* name : {"a", "a.b", ".x", "a.b.c"}) EXPECT_TRUE(exact(name, "*.*")) << name;
  EXPECT_TRUE(exact("abc", "*"));
  // "*" before a dot: any characters but the last dot.
  EXPECT_TRUE(exact("img_1.jpg", "img*.jpg"));
  EXPECT_TRUE(exact("img_1.x.jpg.bak", "img*.jpg"));
  EXPECT_FALSE(exact("img_1.jpgx", "img*.jpg"));
  // "?" in the middle still takes exactly one character.
  EXPECT_FALSE(exact("ac.txt", "a?c"));
  EXPECT_FALSE(exact("a.c", "a?c"));
  EXPECT_TRUE(exact("abc.txt", "a?c"));
  // A fuzzy keyword that ends in a dot also finds it at the end of a name.
  EXPECT_TRUE(fuzzy("xabc", "abc."));
  EXPECT_TRUE(fuzzy("xabc.d", "abc."));
  EXPECT_FALSE(fuzzy("xabcd", "abc."));
  EXPECT_TRUE(fuzzy("anything", "."));
  const KeywordMatcher m({"a??", "*.*", "abc.", "a?c"}, Rules(NameKind::Files, MatchMode::Fuzzy));
  EXPECT_EQ(Matches(m, "xabc"), (Ids{0, 1, 2, 3}));
  EXPECT_EQ(Matches(m, "b"), (Ids{1}));
}

// How the platform rewrites a pattern, as its kernel was seen to receive them.
TEST(WildcardPattern, RewritesPatternsAsThePlatformDoes) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"Hello", "Hello"}, {"*", "*"},          {"a*a", "a*a"},       {"*.*", "*"},          {"a*.*", "a<\"*"},
      {"*.*a", "<\"*a"},  {"*.**.*", "<\"*<\"*"}, {".*", "\"*"},       {"a.*a", "a\"*a"},     {".*.*", "\"<\"*"},
      {"*.", "<"},         {"a*.", "a<"},        {"*.a", "<.a"},       {"*.*.", "*"},         {"*.a*.", "<.a<"},
      {"?", ">"},          {"a?a", "a>a"},       {"?.?", ">\">"},      {"?.??.?", ">\">>\">"}, {".?a.?", "\">a\">"},
      {"?.", ">"},         {"?.?.", ">\">"},     {"a?.a?.a", "a>.a>.a"}, {"f*.f*", "f<.f*"},   {"f*f.*", "f*f\"*"}};
  for (const auto& [pattern, rewritten] : cases) {
    std::vector<std::string_view> characters;
    for (std::size_t i = 0; i < pattern.size(); ++i) characters.push_back(std::string_view(pattern).substr(i, 1));
    EXPECT_EQ(WildcardPattern(characters).Rewritten(), rewritten) << pattern;
  }
}

TEST(KeywordMatcher, ReportsEachKeywordOnceInKeywordOrder) {
  const MatchRules rules = Rules(NameKind::Files, MatchMode::Fuzzy);
  const KeywordMatcher m({"ab", "x", "abc", "AB", "ab", "b*", "a"}, rules);
  // "a" occurs twice in the name and "ab" matches through two patterns: still once each.
  EXPECT_EQ(Matches(m, "abcab"), (Ids{0, 2, 3, 4, 5, 6}));
  std::vector<std::size_t> called;
  m.ForEachMatch("xa", [&](std::size_t k) { called.push_back(k); });
  EXPECT_EQ(called, (std::vector<std::size_t>{1, 6}));
}

TEST(KeywordMatcher, TheShortAliasMatchesToo) {
  const KeywordMatcher m({"progra~1", "program files", "prog"}, Rules(NameKind::Files, MatchMode::Exact));
  EXPECT_EQ(Matches(m, "Program Files", "PROGRA~1"), (Ids{0, 1}));
  const KeywordMatcher fuzzy({"~", "files", "PROG"}, Rules(NameKind::Files, MatchMode::Fuzzy));
  EXPECT_EQ(Matches(fuzzy, "Program Files", "PROGRA~1"), (Ids{0, 1, 2}));
}

std::string RandomText(std::mt19937& rng, std::size_t max_size, const std::vector<std::string>& alphabet) {
  std::uniform_int_distribution<std::size_t> size(0, max_size), pick(0, alphabet.size() - 1);
  std::string s;
  for (std::size_t n = size(rng); n > 0; --n) s += alphabet[pick(rng)];
  return s;
}

// Folds letters beyond ASCII too, as a file system does (Windows folds every
// letter of the basic plane): a-z, ö and full-width a-z to upper case, each
// keeping its length.
std::string FoldBeyondAscii(const text::Charset&, std::string_view name) {
  std::string folded(name);
  for (std::size_t pos = 0; pos < folded.size(); ++pos) {
    const auto b = static_cast<unsigned char>(folded[pos]);
    if (b >= 'a' && b <= 'z') folded[pos] = static_cast<char>(b - 32);
    if (folded.compare(pos, 2, "\xC3\xB6") == 0) folded[pos + 1] = '\x96';
    if (folded.compare(pos, 2, "\xEF\xBD") == 0 && pos + 2 < folded.size() &&
        static_cast<unsigned char>(folded[pos + 2]) >= 0x81 && static_cast<unsigned char>(folded[pos + 2]) <= 0x9A) {
      folded[pos + 1] = '\xBC';  // U+FF41.. to U+FF21..: the third byte moves by 0x20 back into 0xA1..
      folded[pos + 2] = static_cast<char>(static_cast<unsigned char>(folded[pos + 2]) + 0x20);
      pos += 2;
    }
  }
  return folded;
}

// Rules picked so that every per-name path of the matcher is exercised:
// exact hash and prefixes, automaton boundaries, wildcard filters, folding
// beyond ASCII.
TEST(KeywordMatcher, AgreesWithTheOnePairRulesOnRandomInput) {
  std::mt19937 rng(20261207);
  const std::vector<std::string> pieces = {"a", "A", "b", "B", ".", ".", "*", "?", " ", "ab", "\x81", "\x61",
                                           "\x41", "\x81\x61", "\xC3\xA9", "\xA9", "/", "x", "\xC3\xB6", "\xC3\x96",
                                           "\xEF\xBD\x81", "\xEF\xBC\xA1", "\xF0\x9F\x98\x80", "\xC3"};
  struct Setup {
    const text::Charset* cs;
    bool utf8_names;
    NameFolding fold;
  };
  for (const Setup setup : {Setup{&gbk, false, &text::FoldAsciiCase}, Setup{&utf8, false, &text::FoldAsciiCase},
                            Setup{&utf8, true, &text::FoldAsciiCase}, Setup{&utf8, true, &FoldBeyondAscii}}) {
    for (NameKind kind : {NameKind::Files, NameKind::Folders}) {
      for (MatchMode mode : {MatchMode::Exact, MatchMode::Fuzzy}) {
        for (int round = 0; round < 40; ++round) {
          MatchRules rules = Rules(kind, mode, *setup.cs);
          rules.utf8_names = setup.utf8_names;
          rules.fold_file_name = setup.fold;
          std::vector<std::string> keywords;
          for (int k = 0; k < 25; ++k) keywords.push_back(RandomText(rng, 4, pieces));
          const KeywordMatcher m(keywords, rules);
          for (int n = 0; n < 60; ++n) {
            const std::string name = RandomText(rng, 7, pieces);
            Ids expected;
            for (std::uint32_t k = 0; k < keywords.size(); ++k) {
              if (NameMatchesKeyword(rules, name, keywords[k])) expected.push_back(k);
            }
            ASSERT_EQ(Matches(m, name), expected) << "name '" << name << "'";
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace quellor::search
