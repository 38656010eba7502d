#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file_io.h"
#include "platform/ini.h"
#include "support/temp_tree.h"

namespace quellor::platform {
namespace {

using quellor::testing::TempTree;

TEST(FileIo, ReplacesWholeFilesAndLeavesNoTemporaryBehind) {
  TempTree dir;
  const std::string file = dir.Path("path.txt");
  EXPECT_FALSE(ReadWholeFile(file).has_value());

  const std::string bytes("a\r\n\0b\xD5\xE6\r\n", 9);
  ASSERT_TRUE(WriteWholeFileReplacing(file, bytes));
  EXPECT_EQ(ReadWholeFile(file), bytes);
  ASSERT_TRUE(WriteWholeFileReplacing(file, ""));
  EXPECT_EQ(ReadWholeFile(file), "");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(FileIo, AFailedWriteKeepsTheOldFile) {
  TempTree dir;
  EXPECT_FALSE(WriteWholeFileReplacing(dir.Path("missing-folder/x.txt"), "x"));
  // A folder in the way of the target: the rename fails, nothing is lost.
  std::filesystem::create_directory(dir.path() / "busy");
  std::filesystem::create_directory(dir.path() / "busy" / "inside");
  EXPECT_FALSE(WriteWholeFileReplacing(dir.Path("busy"), "x"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "busy" / "inside"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(Ini, MissingFileSectionOrKeyReadsEmpty) {
  TempTree dir;
  const std::string ini = dir.Path("config.ini");
  EXPECT_EQ(ReadIniValue(ini, "zhuce", "x"), "");
  ASSERT_TRUE(WriteIniValue(ini, "other", "x", "1"));
  EXPECT_EQ(ReadIniValue(ini, "zhuce", "x"), "");
  EXPECT_EQ(ReadIniValue(ini, "other", "y"), "");
  EXPECT_EQ(ReadIniValue(ini, "other", "x"), "1");
}

TEST(Ini, WritesCreateReplaceAndKeepOtherKeys) {
  TempTree dir;
  const std::string ini = dir.Path("config.ini");
  // "精确" and "真"/"假" in GBK, as the program stores them.
  const std::string key = "\xBE\xAB\xC8\xB7";
  const std::string yes = "\xD5\xE6";
  const std::string no = "\xBC\xD9";
  ASSERT_TRUE(WriteIniValue(ini, "zhuce", key, yes));
  ASSERT_TRUE(WriteIniValue(ini, "zhuce", "k2", no));
  ASSERT_TRUE(WriteIniValue(ini, "zhuce", key, no));
  ASSERT_TRUE(WriteIniValue(ini, "second", key, yes));
  EXPECT_EQ(ReadIniValue(ini, "zhuce", key), no);
  EXPECT_EQ(ReadIniValue(ini, "zhuce", "k2"), no);
  EXPECT_EQ(ReadIniValue(ini, "second", key), yes);
  const std::string text = ReadWholeFile(ini).value();
  EXPECT_EQ(text.find("[zhuce]"), 0u);
  EXPECT_NE(text.find("\r\n"), std::string::npos);
}

}  // namespace
}  // namespace quellor::platform
