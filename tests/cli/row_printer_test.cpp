// quellor-find's status line.
#include <gtest/gtest.h>

#include "cli/row_printer.h"

namespace quellor::cli {
namespace {

TEST(FindStatusText, IsTheWindowsWithoutTheFoldersNotRead) {
  using Stage = search::RunStatus::Stage;
  // The C runtime's first rand() after srand(20062) is 16.
  EXPECT_EQ(FindStatusText({Stage::KeywordSearched, "abc"}, 20062),
            text::ShownText("请稍后，正在搜索").AddName("abc").AddWords("  加速17"));
  EXPECT_EQ(FindStatusText({Stage::FolderRunStarted}, 0), text::ShownText("正在搜索，请等待......"));
  EXPECT_EQ(FindStatusText({Stage::FileRunEnded, {}, 4, 1}, 0), text::ShownText("搜索完毕！共搜索到文件4个."));
  EXPECT_EQ(FindStatusText({Stage::FolderRunEnded, {}, 12, 2}, 0), text::ShownText("搜索完毕！共搜索到文件夹12个."));
}

}  // namespace
}  // namespace quellor::cli
