// 按钮_未搜索到文件: the report written beside the program, opened, and a failed write told.
#include <gtest/gtest.h>

#include "commands/action_fixture.h"
#include "files/not_found_report.h"

namespace quellor::testing {
namespace {

using WriteReportTest = ActionTest;

TEST_F(WriteReportTest, WritesBesideTheProgramAndOpensIt) {
  memory_.编辑框_文件名.SetText("a\r\nmissing\r\nsub");
  AddRows({"x/a.txt", "x/subfolder"});
  commands::WriteNotFoundReport(controls(), services_);
  const std::string report = Path(files::kNotFoundReportName);
  EXPECT_EQ(platform::ReadWholeFile(report), "missing\r\nsub\r\n");
  ASSERT_EQ(shell_.requests.size(), 1u);
  EXPECT_EQ(shell_.requests[0].path, report);
  EXPECT_EQ(shell_.requests[0].verb, platform::ShellVerb::Default);

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
  EXPECT_NE(dialogs_.messages[0].text.find(files::kNotFoundReportName), std::string::npos);
}

}  // namespace
}  // namespace quellor::testing
