// What the window and quellor-find share: free names on a clash, the drop
// list's bytes, which keywords the not-found report lists, and the progress
// number.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "files/drop_list.h"
#include "files/file_transfer.h"
#include "files/not_found_report.h"
#include "files/progress_number.h"
#include "files/stored_list.h"
#include "platform/file_operations.h"
#include "platform/text_encoding.h"
#include "support/foreign_names.h"
#include "support/forwarding_file_operations.h"
#include "text/charset.h"

namespace quellor::testing {
namespace {

search::MatchRules Rules(search::NameKind kind, search::MatchMode mode) {
  static const text::Charset gbk = text::Charset::Gbk();
  search::MatchRules rules;
  rules.kind = kind;
  rules.mode = mode;
  rules.charset = &gbk;
  rules.path_separators = "\\/";
  return rules;
}

const search::MatchRules kExactFiles = Rules(search::NameKind::Files, search::MatchMode::Exact);

TEST(NotFoundReport, NamesMatchByTheRulesOfTheSearch) {
  EXPECT_EQ(files::BuildNotFoundReport(kExactFiles, "a.txt\r\nb.txt", {"a.txt"}), "b.txt\r\n");
  EXPECT_EQ(files::BuildNotFoundReport(kExactFiles, "A.TXT", {"a.txt"}), "");
  EXPECT_EQ(files::BuildNotFoundReport(kExactFiles, "a", {"a.txt"}), "") << "exact: the name without extension";
  EXPECT_EQ(files::BuildNotFoundReport(kExactFiles, "a.txt", {"ba.txt"}), "a.txt\r\n");
  const auto fuzzy = Rules(search::NameKind::Files, search::MatchMode::Fuzzy);
  EXPECT_EQ(files::BuildNotFoundReport(fuzzy, "a.txt", {"ba.txt"}), "");
  const auto folders = Rules(search::NameKind::Folders, search::MatchMode::Exact);
  EXPECT_EQ(files::BuildNotFoundReport(folders, "pics\r\npic", {"Pics"}), "pic\r\n");
  // Names never run into each other, and a keyword with a separator names no item.
  EXPECT_EQ(files::BuildNotFoundReport(fuzzy, "b\\c\r\nb", {"ab", "cd"}), "b\\c\r\n");
}

TEST(NotFoundReport, KeywordLinesAsTyped) {
  EXPECT_EQ(files::BuildNotFoundReport(kExactFiles, "x\r\n\r\ny\r\n", {}), "x\r\n\r\ny\r\n")
      << "an empty list: blank lines give empty lines, the trailing CR LF adds nothing";
  EXPECT_EQ(files::BuildNotFoundReport(kExactFiles, "x\r\n\r\ny\r\n", {"z.txt"}), "x\r\ny\r\n");
  EXPECT_EQ(files::BuildNotFoundReport(kExactFiles, "", {}), "");
  // GBK keywords, one with a trail byte 0x5C, unchanged; letters are not folded in the output.
  const std::string keywords = "\xCE\xC4\xBC\xFE\r\n\xB1\x5C\r\nAbC";
  EXPECT_EQ(files::BuildNotFoundReport(kExactFiles, keywords, {"\xCE\xC4\xBC\xFE.jpg"}),
            "\xB1\x5C\r\nAbC\r\n");
}

std::string Header() { return std::string("\x14\0\0\0", 4) + std::string(16, '\0'); }

TEST(DropListBlock, LayoutIsByteExact) {
  EXPECT_EQ(files::BuildDropListBlock({"C:\\a\\x.txt"}), Header() + std::string("C:\\a\\x.txt\0\0", 12));
  EXPECT_EQ(files::BuildDropListBlock({"C:\\a\\x.txt", "D:\\y.doc"}),
            Header() + std::string("C:\\a\\x.txt\0D:\\y.doc\0\0", 21));
  // Double-byte paths keep their bytes (a trail byte 0x5C included); fWide stays 0.
  const std::string chinese = "D:\\\xCE\xC4\xBC\xFE\\\xB1\x5C.txt";
  const std::string block = files::NarrowDropListBlock({chinese});
  EXPECT_EQ(block.size(), 20 + chinese.size() + 2);
  EXPECT_EQ(block, Header() + chinese + std::string("\0\0", 2));
}

// Where names are UTF-8: the narrow list in code page 936 as always while
// every path fits it, a wide one (fWide 1) as soon as one does not; never a
// '?', which the shell would take for a wildcard.
TEST(DropListBlock, WideOnlyWhenAPathDoesNotFitCodePage936) {
  if (platform::NameEncoding() != platform::TextEncoding::Utf8) GTEST_SKIP() << "names are not UTF-8 here";
  for (const InvoiceName& invoice : SevenInvoices()) {
    SCOPED_TRACE(invoice.name);
    const std::string path = "D:\\" + invoice.name;
    const std::string block = files::BuildDropListBlock({"C:\\a.txt", path});
    const std::u16string wide = *platform::DecodeName(path);
    if (invoice.fits_code_page_936) {
      EXPECT_EQ(block, files::NarrowDropListBlock({"C:\\a.txt", *platform::EncodeText(wide, platform::TextEncoding::Ansi)}));
    } else {
      EXPECT_EQ(block, files::WideDropListBlock({u"C:\\a.txt", wide}));
      EXPECT_EQ(block.substr(16, 4), std::string("\1\0\0\0", 4)) << "fWide";
      EXPECT_EQ(block.substr(block.size() - 4), std::string(4, '\0'));
    }
    EXPECT_EQ(block.find('?'), std::string::npos);
  }
}

TEST(FreeName, NumbersBeforeTheExtension) {
  const std::unique_ptr<platform::FileOperations> system = platform::MakeSystemFileOperations();
  class TakenNames : public ForwardingFileOperations {
   public:
    using ForwardingFileOperations::ForwardingFileOperations;
    platform::PathKind KindOf(const std::string& path) const override {
      if (path.rfind("D:\\locked\\", 0) == 0) return platform::PathKind::Unknown;
      for (const std::string& name : taken)
        if (path == "D:\\t\\" + name) return platform::PathKind::File;
      return platform::PathKind::Missing;
    }
    std::vector<std::string> taken;
  } taken_names(*system);
  const text::Charset gbk = text::Charset::Gbk();
  taken_names.taken = {"a (2).txt"};
  EXPECT_EQ(files::FreeNameInFolder(taken_names, gbk, "D:\\t\\", "a.txt", false), "a (3).txt");
  EXPECT_EQ(files::FreeNameInFolder(taken_names, gbk, "D:\\t\\", "archive.tar.gz", false), "archive.tar (2).gz");
  EXPECT_EQ(files::FreeNameInFolder(taken_names, gbk, "D:\\t\\", ".profile", false), ".profile (2)");
  EXPECT_EQ(files::FreeNameInFolder(taken_names, gbk, "D:\\t\\", "noext", false), "noext (2)");
  EXPECT_EQ(files::FreeNameInFolder(taken_names, gbk, "D:\\t\\", "v1.0", true), "v1.0 (2)");
  EXPECT_EQ(files::FreeNameInFolder(taken_names, gbk, "D:\\t\\", "\xCE\xC4.\xBC\xFE", false), "\xCE\xC4 (2).\xBC\xFE");
  EXPECT_EQ(files::FreeNameInFolder(taken_names, gbk, "D:\\locked\\", "a.txt", false), "")
      << "a folder that cannot be looked into is not tried 100,000 times";
}

// The stored lists: where the system's texts are code page 936 (Windows), a
// text that fits it is written in it byte for byte as always, any other as
// UTF-8 with a byte-order mark; a mark decides on reading, and a file without
// one reads as it always did. Where texts and names share one encoding, the
// bytes stay as they are.
TEST(StoredList, CodePage936WhenEveryCharacterFitsElseUtf8WithAMark) {
  const bool ansi = platform::SystemTextEncoding() == platform::TextEncoding::Ansi;
  for (const InvoiceName& invoice : SevenInvoices()) {
    SCOPED_TRACE(invoice.name);
    const std::string text = "C:\\" + invoice.name + "\r\nx\r\n";
    const std::string bytes = files::StoredTextBytes(text);
    if (!ansi) {
      EXPECT_EQ(bytes, text);
    } else if (invoice.fits_code_page_936) {
      EXPECT_EQ(bytes, *platform::EncodeText(*platform::DecodeName(text), platform::TextEncoding::Ansi));
    } else {
      EXPECT_EQ(bytes, "\xEF\xBB\xBF" + text);
    }
    EXPECT_EQ(files::ReadStoredText(bytes), text);
  }
  if (!ansi) return;
  const std::string report = Utf8(u8"\u62A5\u544A");
  EXPECT_EQ(files::ReadStoredText("\xB1\xA8\xB8\xE6"), report) << "a file of an older version";
  EXPECT_EQ(files::ReadStoredText("\xFF\xFE\xA5\x62\x4A\x54"), report) << "UTF-16 with its mark";
  EXPECT_EQ(files::ReadStoredText("bad\x81\r\n\xB1\xA8\xB8\xE6"), "bad" + Utf8(u8"\uFFFD") + "\r\n" + report)
      << "what cannot be read is marked, the rest kept";
  EXPECT_EQ(files::ReadStoredText("\xEF\xBB\xBF" "bad\xB1\r\nok"), "bad" + Utf8(u8"\uFFFD") + "\r\nok")
      << "a marked file that is not quite UTF-8 likewise";
}

TEST(ProgressNumber, FollowsTheRuntimesGeneratorSeededWithTheTick) {
  // The C runtime's first rand() after srand(1) is 41.
  EXPECT_EQ(files::ProgressNumber(1), 42);
  for (std::uint32_t tick : {0u, 7u, 123456789u, 0xFFFFFFFFu}) {
    EXPECT_GE(files::ProgressNumber(tick), 1);
    EXPECT_LE(files::ProgressNumber(tick), 5000);
  }
}

}  // namespace
}  // namespace quellor::testing
