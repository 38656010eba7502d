// What the window and quellor-find share: free names on a clash, the drop
// list's bytes, and which keywords the not-found report lists.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "files/drop_list.h"
#include "files/file_transfer.h"
#include "files/not_found_report.h"
#include "platform/file_operations.h"
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
  const std::string block = files::BuildDropListBlock({chinese});
  EXPECT_EQ(block.size(), 20 + chinese.size() + 2);
  EXPECT_EQ(block, Header() + chinese + std::string("\0\0", 2));
}

TEST(FreeName, NumbersBeforeTheExtension) {
  class TakenNames : public platform::FileOperations {
   public:
    platform::FileOperationResult Run(platform::FileOperationKind, const std::string&, const std::string&,
                                      unsigned) override {
      return {};
    }
    platform::PathKind KindOf(const std::string& path) const override {
      for (const std::string& name : taken)
        if (path == "D:\\t\\" + name) return platform::PathKind::File;
      return platform::PathKind::Missing;
    }
    std::optional<platform::FileIdentity> IdentityOf(const std::string&) const override { return std::nullopt; }
    std::string RealPath(const std::string&) const override { return {}; }
    char Separator() const override { return '\\'; }
    std::vector<std::string> taken;
  } taken_names;
  const text::Charset gbk = text::Charset::Gbk();
  taken_names.taken = {"a (2).txt"};
  EXPECT_EQ(files::FreeNameInFolder(taken_names, gbk, "D:\\t\\", "a.txt", false), "a (3).txt");
  EXPECT_EQ(files::FreeNameInFolder(taken_names, gbk, "D:\\t\\", "archive.tar.gz", false), "archive.tar (2).gz");
  EXPECT_EQ(files::FreeNameInFolder(taken_names, gbk, "D:\\t\\", ".profile", false), ".profile (2)");
  EXPECT_EQ(files::FreeNameInFolder(taken_names, gbk, "D:\\t\\", "noext", false), "noext (2)");
  EXPECT_EQ(files::FreeNameInFolder(taken_names, gbk, "D:\\t\\", "v1.0", true), "v1.0 (2)");
  EXPECT_EQ(files::FreeNameInFolder(taken_names, gbk, "D:\\t\\", "\xCE\xC4.\xBC\xFE", false), "\xCE\xC4 (2).\xBC\xFE");
}

}  // namespace
}  // namespace quellor::testing
