// Random input, a fixed number of rounds from fixed seeds, for the readers of
// outside text (names file, line splitter, INI file) and the matchers. Each
// result is checked against a slow reference written from the rules; under
// the sanitizer build the same rounds also catch reads past an end.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "files/names_file.h"
#include "platform/ini.h"
#include "support/temp_tree.h"
#include "search/keyword_matcher.h"
#include "search/match_rules.h"
#include "text/charset.h"
#include "text/line_split.h"
#include "text/path_scan.h"

namespace quellor::testing {
namespace {

const text::Charset kGbk = text::Charset::Gbk();
const text::Charset kUtf8 = text::Charset::Utf8();

// Bytes of every value, weighted towards the ones the rules care about, so
// that lines, wildcards, dots, lead bytes and matches happen often.
std::string RandomBytes(std::mt19937& rng, std::size_t max_length) {
  static const std::string kInteresting = "\r\n\r\n.*?aAbB \t=[]/\\\x81\x40\xA1\xA1\xC3\xA9\xE3\x80\x80";
  std::string bytes;
  for (std::size_t n = rng() % (max_length + 1); n > 0; --n) {
    bytes += rng() % 3 == 0 ? static_cast<char>(rng() % 256) : kInteresting[rng() % kInteresting.size()];
  }
  return bytes;
}

// The line splitter, one character at a time.
std::vector<std::string> SlowSplitLines(const text::Charset& cs, const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t pos = 0; pos < text.size();) {
    if (text.compare(pos, 2, "\r\n") == 0) {
      lines.push_back(line);
      line.clear();
      pos += 2;
      continue;
    }
    const std::size_t length = cs.CharLength(text, pos);
    line += text.substr(pos, length);
    pos += length;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

TEST(FuzzLoop, LineSplitterAgreesWithTheCharacterWalk) {
  std::mt19937 rng(13);
  for (const text::Charset* cs : {&kGbk, &kUtf8}) {
    for (int round = 0; round < 4000; ++round) {
      const std::string text = RandomBytes(rng, 40);
      ASSERT_EQ(text::SplitLines(*cs, text), SlowSplitLines(*cs, text)) << ::testing::PrintToString(text);
    }
  }
}

TEST(FuzzLoop, NamesReaderKeepsEveryNonBlankLineByteForByte) {
  std::mt19937 rng(17);
  for (int round = 0; round < 8000; ++round) {
    std::string text = RandomBytes(rng, 60);
    // No byte-order mark and no ideographic space (A1 A1 in GBK, E3 80 80 in
    // UTF-8), so that a line is blank exactly when it holds spaces only,
    // whichever encoding the reader decides on.
    if (!text.empty() && (text[0] == '\xEF' || text[0] == '\xFF' || text[0] == '\xFE')) text[0] = 'x';
    for (char& c : text) {
      if (c == '\xA1') c = '\xA2';
      if (c == '\xE3') c = '\xE4';
    }
    std::vector<std::string> expected;
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.find_first_not_of(' ') != std::string::npos) expected.push_back(line);
      start = end + 1;
    }
    std::vector<std::string> read;
    for (const files::NameLine& name : files::ReadNamesFile(text).names) read.push_back(name.original);
    ASSERT_EQ(read, expected) << ::testing::PrintToString(text);
  }
}

TEST(FuzzLoop, IniReaderSurvivesAnyFileAndReadsBackWhatWasWritten) {
  std::mt19937 rng(19);
  TempTree folder;
  const std::string file = folder.Path("fuzz.ini");
  for (int round = 0; round < 150; ++round) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    const std::string bytes = RandomBytes(rng, 200);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
    // Whatever the file holds, a read ends and a value has no line break in it.
    const std::string read = platform::ReadIniValue(file, "a", "b");
    ASSERT_EQ(read.find('\n'), std::string::npos);
    std::string value;
    for (std::size_t n = rng() % 8; n > 0; --n) value += static_cast<char>('a' + rng() % 26);
    ASSERT_TRUE(platform::WriteIniValue(file, "Section", "Key", value));
    ASSERT_EQ(platform::ReadIniValue(file, "section", "key"), value) << ::testing::PrintToString(bytes);
  }
}

TEST(FuzzLoop, OneTraversalMatcherAgreesWithTheOnePairRules) {
  std::mt19937 rng(23);
  struct Setup {
    const text::Charset* cs;
    bool utf8_names;
  };
  for (const Setup setup : {Setup{&kGbk, false}, Setup{&kUtf8, true}}) {
    for (search::NameKind kind : {search::NameKind::Files, search::NameKind::Folders}) {
      for (search::MatchMode mode : {search::MatchMode::Exact, search::MatchMode::Fuzzy}) {
        for (int round = 0; round < 30; ++round) {
          search::MatchRules rules;
          rules.kind = kind;
          rules.mode = mode;
          rules.charset = setup.cs;
          rules.utf8_names = setup.utf8_names;
          std::vector<std::string> keywords;
          for (int k = 0; k < 20; ++k) keywords.push_back(RandomBytes(rng, 4));
          const search::KeywordMatcher matcher(keywords, rules);
          search::KeywordMatcher::Scratch scratch;
          std::vector<std::uint32_t> got;
          for (int n = 0; n < 100; ++n) {
            const std::string name = RandomBytes(rng, 10);
            const std::string alias = rng() % 4 == 0 ? RandomBytes(rng, 6) : std::string();
            std::vector<std::uint32_t> expected;
            for (std::uint32_t k = 0; k < keywords.size(); ++k) {
              if (search::NameMatchesKeyword(rules, name, keywords[k]) ||
                  (!alias.empty() && search::NameMatchesKeyword(rules, alias, keywords[k]))) {
                expected.push_back(k);
              }
            }
            matcher.CollectMatches(name, alias, scratch, got);
            ASSERT_EQ(got, expected) << ::testing::PrintToString(name) << " alias " << ::testing::PrintToString(alias);
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace quellor::testing
