// quellor-find's actions on its hits: options, copy or move of each found
// item once, failures named.
#include <gtest/gtest.h>

#include <cstdio>

#include "cli/find_options.h"
#include "cli/hit_actions.h"
#include "commands/action_fixture.h"
#include "search/search_run.h"
#include "support/spoiling_file_operations.h"

namespace quellor::testing {
namespace {

TEST(FindActionOptions, ParsedAndChecked) {
  const cli::ParsedOptions parsed =
      cli::ParseFindOptions({"--copy-to", "out", "--rename-on-clash", "--not-found=nf.txt", "root"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  EXPECT_EQ(parsed.options->copy_to, "out");
  EXPECT_TRUE(parsed.options->rename_on_clash);
  EXPECT_EQ(parsed.options->not_found_file, "nf.txt");
  EXPECT_EQ(parsed.options->roots, std::vector<std::string>{"root"});
  EXPECT_EQ(cli::ParseFindOptions({"--move-to=dir"}).options->move_to, "dir");

  EXPECT_FALSE(cli::ParseFindOptions({"--copy-to", "a", "--move-to", "b"}).options);
  EXPECT_FALSE(cli::ParseFindOptions({"--rename-on-clash"}).options);
  EXPECT_FALSE(cli::ParseFindOptions({"--not-found"}).options);
}

class HitActionsTest : public ActionTest {
 protected:
  HitActionsTest() : err_(std::tmpfile()) {}
  ~HitActionsTest() override { std::fclose(err_); }
  std::string ErrorText() {
    std::rewind(err_);
    std::string text;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, err_)) text += buffer;
    return text;
  }
  std::FILE* err_;
};

TEST_F(HitActionsTest, EachFoundItemOnceInOrderAndFailuresNamed) {
  MakeFile("tree/a.txt", "a");
  MakeFile("tree/sub/a.txt", "sub a");
  MakeFolder("out");
  // a.txt found by two names; a vanished hit.
  constexpr platform::PathKind kFile = platform::PathKind::File;
  const std::vector<search::FoundRow> rows = {{Path("tree/a.txt"), kFile}, {Path("tree/a.txt"), kFile},
                                              {Path("tree/sub/a.txt"), kFile}, {Path("tree/gone.txt"), kFile}};
  const cli::TransferCount count = cli::TransferHits(*files_, platform::NameCharset(),
                                                     files::TransferCommand::Kind::Move, rows, Path("out"), true, err_);
  EXPECT_EQ(count.taken, 3u);
  EXPECT_EQ(count.failed, 1u);
  EXPECT_EQ(Content("out/a.txt"), "a");
  EXPECT_EQ(Content("out/a (2).txt"), "sub a");
  EXPECT_EQ(ErrorText(), "quellor-find: cannot move " + Path("tree/gone.txt") + ": it no longer exists\n");
}

TEST_F(HitActionsTest, ACopyReportedDoneButHalfWrittenIsAFailureWithItsReason) {
  MakeFile("tree/big.bin", std::string(1000, 'b'));
  MakeFolder("out");
  SpoilingFileOperations spoiling(*system_files_);
  spoiling.spoil = CutToHalf;
  const cli::TransferCount count = cli::TransferHits(spoiling, platform::NameCharset(), files::TransferCommand::Kind::Copy,
                                                     {{Path("tree/big.bin"), platform::PathKind::File}},
                                                     Path("out"), false, err_);
  EXPECT_EQ(count.failed, 1u);
  EXPECT_EQ(ErrorText(),
            "quellor-find: cannot copy " + Path("tree/big.bin") + ": the target holds 500 of its 1000 bytes\n");
}

}  // namespace
}  // namespace quellor::testing
