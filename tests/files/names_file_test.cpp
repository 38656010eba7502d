// Names files in each encoding people save them in: the same names, the line
// numbers of the file, nothing unreadable silently dropped or garbled.
#include <gtest/gtest.h>

#include "files/names_file.h"
#include "platform/text_encoding_units.h"

namespace quellor::files {
namespace {

using platform::TextEncoding;

// 报告 and 照片 as this platform's file names hold them.
const bool kAnsiNames = platform::NameEncoding() == TextEncoding::Ansi;
const std::string kReport = kAnsiNames ? "\xB1\xA8\xB8\xE6" : "\xE6\x8A\xA5\xE5\x91\x8A";
const std::string kPhoto = kAnsiNames ? "\xD5\xD5\xC6\xAC" : "\xE7\x85\xA7\xE7\x89\x87";

std::vector<std::string> Searched(const NamesFile& file) {
  std::vector<std::string> names;
  for (const NameLine& name : file.names) names.push_back(name.searched.value_or("<not searched>"));
  return names;
}

std::vector<std::size_t> Lines(const NamesFile& file) {
  std::vector<std::size_t> lines;
  for (const NameLine& name : file.names) lines.push_back(name.line);
  return lines;
}

TEST(NamesFile, EveryEncodingGivesTheSameNames) {
  const std::vector<std::string> expected = {kReport, "IMG_0001", kPhoto};
  const std::u16string text = u"报告\r\n\r\nIMG_0001\r\n照片\r\n";
  struct Case {
    std::string bytes;
    TextEncoding encoding;
    bool mark;
  };
  const Case cases[] = {
      {"\xEF\xBB\xBF" "\xE6\x8A\xA5\xE5\x91\x8A\r\n\r\nIMG_0001\r\n\xE7\x85\xA7\xE7\x89\x87\r\n", TextEncoding::Utf8, true},
      {"\xE6\x8A\xA5\xE5\x91\x8A\n\nIMG_0001\n\xE7\x85\xA7\xE7\x89\x87", TextEncoding::Utf8, false},
      {"\xB1\xA8\xB8\xE6\r\n\r\nIMG_0001\r\n\xD5\xD5\xC6\xAC\r\n", TextEncoding::Ansi, false},
      {"\xFF\xFE" + platform::BytesFromUnits(text, false), TextEncoding::Utf16Le, true},
      {"\xFE\xFF" + platform::BytesFromUnits(text, true), TextEncoding::Utf16Be, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.encoding));
    const NamesFile file = ReadNamesFile(c.bytes);
    EXPECT_EQ(file.encoding, c.encoding);
    EXPECT_EQ(file.byte_order_mark, c.mark);
    EXPECT_EQ(Searched(file), expected);
    EXPECT_EQ(Lines(file), (std::vector<std::size_t>{1, 3, 4}));
    // What quellor-find writes back comes out as the file came in.
    const std::vector<std::string> originals = {file.names[0].original, file.names[2].original};
    const std::string written = TextLikeNamesFile(file, originals);
    const NamesFile again = ReadNamesFile(written);
    EXPECT_EQ(again.encoding, file.encoding);
    EXPECT_EQ(again.byte_order_mark, file.byte_order_mark);
    EXPECT_EQ(Searched(again), (std::vector<std::string>{kReport, kPhoto}));
    EXPECT_EQ(written.substr(written.size() - (c.encoding == TextEncoding::Utf16Le || c.encoding == TextEncoding::Utf16Be ? 4 : 2)),
              c.encoding == TextEncoding::Utf16Le   ? std::string("\r\0\n\0", 4)
              : c.encoding == TextEncoding::Utf16Be ? std::string("\0\r\0\n", 4)
                                                    : std::string("\r\n"));
  }
  EXPECT_EQ(TextLikeNamesFile(ReadNamesFile("\xEF\xBB\xBF" "a"), {}), "") << "nothing not found: an empty file";
}

TEST(NamesFile, KeepsEveryNonBlankLineAsWritten) {
  const NamesFile file = ReadNamesFile("a\r\n\r\n   \n\xE3\x80\x80\r\n b \n\tc\nx\ry\nlast");
  EXPECT_EQ(file.encoding, TextEncoding::Utf8) << "the ideographic space is UTF-8 here";
  EXPECT_EQ(Searched(file), (std::vector<std::string>{"a", " b ", "\tc", "x\ry", "last"}));
  EXPECT_EQ(Lines(file), (std::vector<std::size_t>{1, 5, 6, 7, 8}));
  EXPECT_EQ(ReadNamesFile("plain\n").encoding, TextEncoding::Ansi) << "ASCII is the same in both";
  EXPECT_TRUE(ReadNamesFile("").names.empty());
  EXPECT_TRUE(ReadNamesFile("\xFF\xFE").names.empty());
  EXPECT_TRUE(ReadNamesFile("\xA1\xA1\r\n").names.empty()) << "GBK's ideographic space";
}

TEST(NamesFile, NamesThatCannotBeSearchedForSayWhy) {
  // UTF-16 with a last odd byte, and an unpaired surrogate.
  const NamesFile odd = ReadNamesFile(std::string("\xFF\xFE" "a\0\n\0b", 7));
  ASSERT_EQ(odd.names.size(), 2u);
  EXPECT_EQ(odd.names[0].searched, "a");
  EXPECT_FALSE(odd.names[1].searched);
  EXPECT_NE(odd.names[1].problem.find("not valid UTF-16"), std::string::npos) << odd.names[1].problem;
  EXPECT_EQ(PrintableName(odd.names[1]), "b");
  const NamesFile lone = ReadNamesFile(std::string("\xFF\xFE\x00\xD8", 4));
  ASSERT_EQ(lone.names.size(), 1u);
  EXPECT_FALSE(lone.names[0].searched);
  EXPECT_EQ(PrintableName(lone.names[0]), "<00><D8>");

  // Without a mark, bytes that are not UTF-8 are the ANSI code page; a line
  // that is not valid there either is named, the others are kept.
  const NamesFile gbk = ReadNamesFile("\xB1\xA8\xB8\xE6\nbad\x81\n");
  EXPECT_EQ(gbk.encoding, TextEncoding::Ansi);
  EXPECT_EQ(Searched(gbk), (std::vector<std::string>{kReport, "<not searched>"}));
  EXPECT_EQ(PrintableName(gbk.names[1]), "bad<81>");

  // Korean and an emoji: file names hold them on POSIX, not in code page 936.
  const NamesFile foreign = ReadNamesFile("\xED\x95\x9C-1\n\xF0\x9F\x98\x80\n\xE6\x8A\xA5\xE5\x91\x8A\n");
  ASSERT_EQ(foreign.names.size(), 3u);
  EXPECT_EQ(foreign.names[2].searched, kReport);
  if (kAnsiNames) {
    EXPECT_FALSE(foreign.names[0].searched);
    EXPECT_NE(foreign.names[0].problem.find("U+D55C"), std::string::npos) << foreign.names[0].problem;
    EXPECT_EQ(PrintableName(foreign.names[0]), "<U+D55C>-1");
    EXPECT_NE(foreign.names[1].problem.find("U+1F600"), std::string::npos) << foreign.names[1].problem;
    EXPECT_EQ(foreign.names[1].original, "\xF0\x9F\x98\x80") << "written back as it was read";
  } else {
    EXPECT_EQ(foreign.names[0].searched, "\xED\x95\x9C-1");
    EXPECT_EQ(foreign.names[1].searched, "\xF0\x9F\x98\x80");
  }
}

}  // namespace
}  // namespace quellor::files
