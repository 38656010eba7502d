// 按钮_未搜索到文件: which keywords the report lists, the report written beside
// the program and opened, and a failed write told.
#include <gtest/gtest.h>

#include "commands/action_fixture.h"
#include "commands/not_found_report.h"

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
  EXPECT_EQ(commands::BuildNotFoundReport(kExactFiles, "a.txt\r\nb.txt", {"a.txt"}), "b.txt\r\n");
  EXPECT_EQ(commands::BuildNotFoundReport(kExactFiles, "A.TXT", {"a.txt"}), "");
  EXPECT_EQ(commands::BuildNotFoundReport(kExactFiles, "a", {"a.txt"}), "") << "exact: the name without extension";
  EXPECT_EQ(commands::BuildNotFoundReport(kExactFiles, "a.txt", {"ba.txt"}), "a.txt\r\n");
  const auto fuzzy = Rules(search::NameKind::Files, search::MatchMode::Fuzzy);
  EXPECT_EQ(commands::BuildNotFoundReport(fuzzy, "a.txt", {"ba.txt"}), "");
  const auto folders = Rules(search::NameKind::Folders, search::MatchMode::Exact);
  EXPECT_EQ(commands::BuildNotFoundReport(folders, "pics\r\npic", {"Pics"}), "pic\r\n");
  // Names never run into each other, and a keyword with a separator names no item.
  EXPECT_EQ(commands::BuildNotFoundReport(fuzzy, "b\\c\r\nb", {"ab", "cd"}), "b\\c\r\n");
}

TEST(NotFoundReport, KeywordLinesAsTyped) {
  EXPECT_EQ(commands::BuildNotFoundReport(kExactFiles, "x\r\n\r\ny\r\n", {}), "x\r\n\r\ny\r\n")
      << "an empty list: blank lines give empty lines, the trailing CR LF adds nothing";
  EXPECT_EQ(commands::BuildNotFoundReport(kExactFiles, "x\r\n\r\ny\r\n", {"z.txt"}), "x\r\ny\r\n");
  EXPECT_EQ(commands::BuildNotFoundReport(kExactFiles, "", {}), "");
  // GBK keywords, one with a trail byte 0x5C, unchanged; letters are not folded in the output.
  const std::string keywords = "\xCE\xC4\xBC\xFE\r\n\xB1\x5C\r\nAbC";
  EXPECT_EQ(commands::BuildNotFoundReport(kExactFiles, keywords, {"\xCE\xC4\xBC\xFE.jpg"}),
            "\xB1\x5C\r\nAbC\r\n");
}

using WriteReportTest = ActionTest;

TEST_F(WriteReportTest, WritesBesideTheProgramAndOpensIt) {
  memory_.编辑框_文件名.SetText("a\r\nmissing\r\nsub");
  AddRows({"x/a.txt", "x/subfolder"});
  commands::WriteNotFoundReport(controls(), services_);
  const std::string report = Path(commands::kNotFoundReportName);
  EXPECT_EQ(platform::ReadWholeFile(report), "missing\r\nsub\r\n");
  ASSERT_EQ(shell_.requests.size(), 1u);
  EXPECT_EQ(shell_.requests[0].path, report);
  EXPECT_EQ(shell_.requests[0].verb, platform::ShellVerb::Default);
  EXPECT_FALSE(shell_.requests[0].select_in_folder);

  // The controls select the rules: fuzzy folder names now.
  memory_.选择框_搜索目录.SetChecked(true);
  memory_.单选框_精确搜索.SetChecked(false);
  memory_.单选框_模糊搜索.SetChecked(true);
  commands::WriteNotFoundReport(controls(), services_);
  EXPECT_EQ(platform::ReadWholeFile(report), "missing\r\n");

  memory_.编辑框_文件名.SetText("a");
  commands::WriteNotFoundReport(controls(), services_);
  EXPECT_EQ(platform::ReadWholeFile(report), "") << "every keyword found: 0 bytes";
  EXPECT_EQ(shell_.requests.size(), 3u);
}

TEST_F(WriteReportTest, AFailedWriteIsToldAndNoOlderReportOpened) {
  services_.program_folder = Path("no such folder");
  memory_.编辑框_文件名.SetText("a");
  commands::WriteNotFoundReport(controls(), services_);
  EXPECT_TRUE(shell_.requests.empty());
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_NE(dialogs_.messages[0].text.find(commands::kNotFoundReportName), std::string::npos);
}

}  // namespace
}  // namespace quellor::testing
