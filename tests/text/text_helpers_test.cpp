// GBK texts are written with \x escapes so the bytes are the same in both builds.
#include <gtest/gtest.h>

#include "text/case_fold.h"
#include "text/line_split.h"
#include "text/path_scan.h"
#include "text/utf16.h"

namespace quellor::text {
namespace {

const Charset gbk = Charset::Gbk();
const Charset utf8 = Charset::Utf8();

using Lines = std::vector<std::string>;

// 乗 = 81 5C and 淺 = 9C 5C: their trail byte is a backslash.
const std::string kJou = "\x81\x5C";
const std::string kAsai = "\x9C\x5C";

TEST(SplitLines, CutsOnlyAtCrLfAndDropsAnEmptyTail) {
  EXPECT_EQ(SplitLines(gbk, ""), Lines{});
  EXPECT_EQ(SplitLines(gbk, "a\r\n\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitLines(gbk, "a\r\nb\r\n"), (Lines{"a", "b"}));
  EXPECT_EQ(SplitLines(gbk, "\r\n"), Lines{""});
  EXPECT_EQ(SplitLines(gbk, "a\rb\nc"), Lines{"a\rb\nc"});
  EXPECT_EQ(SplitLines(gbk, "a\r"), Lines{"a\r"});
}

TEST(SplitLines, NeverCutsInsideADoubleByteCharacter) {
  // 0x8D 0x0D would be a lead byte followed by CR, but 0x0D is no GBK trail
  // byte; the set still reads the pair as one character, as the system does.
  const std::string text = "\x8D\r\nx";
  EXPECT_EQ(SplitLines(gbk, text), Lines{text});
  EXPECT_EQ(SplitLines(utf8, text), (Lines{"\x8D", "x"}));
  // A lone lead byte at the very end is a character of its own.
  EXPECT_EQ(SplitLines(gbk, "a\r\n\x81"), (Lines{"a", "\x81"}));
}

// The clean-up is the kept lines joined again; it says when that changes nothing.
TEST(WithoutBlankLines, KeepsTheNonBlankLinesAndTellsWhetherTheTextChanged) {
  const struct {
    const Charset& cs;
    std::string text;
    bool changes;
  } cases[] = {
      {gbk, "", false},
      {gbk, "a\r\n", false},
      {gbk, " a \r\n\tb\r\n", false},
      {gbk, "a", true},                       // the last line gets its break
      {gbk, "a\r\n\r\n", true},               // a blank line at the end
      {gbk, "   \r\n\xA1\xA1\r\na\r\nb", true},  // blank lines first, no final break
      {gbk, "\r\n \r\n", true},               // nothing left
      {gbk, "\x8D\r\nx", true},                // one GBK line without a break
      {utf8, "\x8D\r\nx\r\n", false},
      {utf8, "a\r\n\xE3\x80\x80\r\n", true},
  };
  for (const auto& c : cases) {
    Lines kept;
    for (const std::string& line : SplitLines(c.cs, c.text)) {
      if (!IsBlankLine(c.cs, line)) kept.push_back(line);
    }
    const std::optional<std::string> cleaned = WithoutBlankLines(c.cs, c.text);
    EXPECT_EQ(cleaned.has_value(), c.changes) << c.text;
    EXPECT_EQ(cleaned.value_or(c.text), JoinLinesWithBreaks(kept)) << c.text;
  }
}

TEST(JoinLines, EndsEveryLineWithCrLf) {
  EXPECT_EQ(JoinLinesWithBreaks({}), "");
  EXPECT_EQ(JoinLinesWithBreaks({"a", "", "b"}), "a\r\n\r\nb\r\n");
  EXPECT_EQ(TextBeforeNul(std::string("ab\0cd", 5)), "ab");
}

TEST(CaseFold, FoldsAsciiLettersButNeverATrailByte) {
  // 0x81 0x41 is a GBK character whose trail byte looks like 'A'.
  EXPECT_EQ(FoldAsciiCase(gbk, "AbZ\x81\x41Q"), "abz\x81\x41q");
  EXPECT_EQ(FoldAsciiCase(utf8, "AbZ\x81\x41Q"), "abz\x81\x61q");
  EXPECT_TRUE(EqualsIgnoringAsciiCase(gbk, "README.Txt", "readme.TXT"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase(gbk, "\x81\x41", "\x81\x61"));
  EXPECT_EQ(FoldAsciiCase(gbk, "A\x81"), "a\x81");
}

TEST(FindIgnoringAsciiCase, MatchesStartOnlyOnCharacterBoundaries) {
  EXPECT_EQ(FindIgnoringAsciiCase(gbk, "Report.DOC", "port"), 2u);
  EXPECT_EQ(FindIgnoringAsciiCase(gbk, "\x81\x41", "A"), std::string_view::npos);
  EXPECT_EQ(FindIgnoringAsciiCase(gbk, "\x81\x41" "a", "A"), 2u);
  EXPECT_EQ(FindIgnoringAsciiCase(gbk, "\x81\x41", "a"), std::string_view::npos);
  // A trail byte inside the match is compared exactly, never folded.
  EXPECT_EQ(FindIgnoringAsciiCase(gbk, "x\x81\x41", "\x81\x61"), std::string_view::npos);
  EXPECT_EQ(FindIgnoringAsciiCase(gbk, "", ""), std::string_view::npos);
  EXPECT_EQ(FindIgnoringAsciiCase(gbk, "a", ""), 0u);
  EXPECT_EQ(FindIgnoringAsciiCase(gbk, "ab", "abc"), std::string_view::npos);
}

TEST(PathScan, TrailBytesEqualToABackslashAreNoSeparators) {
  EXPECT_EQ(LastPathComponent(gbk, "D:\\a\\" + kJou), kJou);
  EXPECT_EQ(LastPathComponent(gbk, "D:\\" + kJou + "\\" + kAsai + "x"), kAsai + "x");
  EXPECT_EQ(LastPathComponent(gbk, kAsai), kAsai);
  EXPECT_EQ(LastPathComponent(gbk, "D:\\a\\"), "");
  EXPECT_EQ(LastPathComponent(gbk, "C:"), "C:");
  EXPECT_EQ(LastPathComponent(utf8, "/tmp/x", '/'), "x");

  EXPECT_EQ(StripTrailingBackslash(gbk, "D:\\" + kJou), "D:\\" + kJou);
  EXPECT_EQ(StripTrailingBackslash(gbk, "D:\\" + kJou + "\\"), "D:\\" + kJou);
  EXPECT_EQ(StripTrailingBackslash(gbk, "D:\\\\"), "D:\\");
  EXPECT_EQ(StripTrailingBackslash(gbk, ""), "");
  // Without byte pairs the same bytes do end in a backslash.
  EXPECT_EQ(StripTrailingBackslash(utf8, "D:\\" + kJou), "D:\\\x81");
}

TEST(PathScan, MalformedTextNeverReadsPastItsEnd) {
  EXPECT_EQ(LastPathComponent(gbk, "a\\\x81"), "\x81");
  EXPECT_EQ(StripTrailingBackslash(gbk, "a\\\x81"), "a\\\x81");
  EXPECT_EQ(FindIgnoringAsciiCase(gbk, "\x81", "\x81"), 0u);
}

TEST(IsBlankLine, OnlyHalfAndFullWidthSpacesAreBlank) {
  EXPECT_TRUE(IsBlankLine(gbk, ""));
  EXPECT_TRUE(IsBlankLine(gbk, "   "));
  EXPECT_TRUE(IsBlankLine(gbk, "\xA1\xA1 \xA1\xA1"));
  EXPECT_TRUE(IsBlankLine(utf8, "\xE3\x80\x80 "));
  EXPECT_FALSE(IsBlankLine(gbk, "\t"));
  EXPECT_FALSE(IsBlankLine(gbk, " a "));
  EXPECT_FALSE(IsBlankLine(utf8, "\xA1\xA1"));
  // A1 A1 straddling two characters is not a full-width space.
  EXPECT_FALSE(IsBlankLine(gbk, "\xB0\xA1\xA1"));
}

// Names between the program (UTF-8) and the system's wide calls: every name
// the system can give comes back unchanged, a lone surrogate included, and
// bytes that are no UTF-8 never become some other name.
TEST(Utf16, EveryNameMakesTheRoundTrip) {
  const std::u16string names[] = {u"J\u00F6rg", u"Produkt\u2122", u"\uD55C\uAD6D", u"x\U0001F600.txt", u"\u62A5\u544A",
                                  u"a", u"", std::u16string(1, char16_t(0xD800)) + u"z", std::u16string(1, char16_t(0xDC01))};
  for (const std::u16string& name : names) {
    std::string text;
    AppendUtf8(text, name.data(), name.size());
    std::u16string back;
    EXPECT_TRUE(AppendUtf16(back, text));
    EXPECT_EQ(back, name);
    EXPECT_EQ(Utf16Length(text), name.size());
  }
  std::string emoji;
  AppendUtf8(emoji, u"\U0001F600", 2);
  EXPECT_EQ(emoji, "\xF0\x9F\x98\x80") << "a pair is one four-byte character";
  for (const char32_t c : {U'a', U'\u00F6', U'\u2122', char32_t{0xDC01}, U'\U0001F600'}) {
    char bytes[4];
    EXPECT_EQ(WriteUtf8(c, bytes), Utf8Length(c)) << static_cast<unsigned>(c);
  }
  // A lone high surrogate is a character of its own: the unit after it is not taken with it.
  const std::u16string lone = std::u16string(1, char16_t(0xD800)) + u"z\U0001F600";
  EXPECT_EQ(CharacterUnits(lone, 0), 1u);
  EXPECT_EQ(CharacterUnits(lone, 1), 1u);
  EXPECT_EQ(CharacterUnits(lone, 2), 2u);
  for (const std::string bad : {"\x81", "a\xC3", "\xC0\xAF", "\xE0\x80\x80", "\xF4\x90\x80\x80", "\xB1\xA8\xB8\xE6"}) {
    std::u16string out;
    EXPECT_FALSE(AppendUtf16(out, bad)) << ::testing::PrintToString(bad);
  }
}

}  // namespace
}  // namespace quellor::text

#ifdef _WIN32
namespace quellor::text {
namespace {
// The Windows build hands its own texts to the ANSI API as code page 936.
TEST(WindowsBuild, LiteralsAreGbk) {
  EXPECT_EQ(std::string("已停止"), "\xD2\xD1\xCD\xA3\xD6\xB9");
  EXPECT_EQ(std::string("真"), "\xD5\xE6");
}
}  // namespace
}  // namespace quellor::text
#endif
