// quellor-find's command line and names file.
#include <gtest/gtest.h>

#include "cli/find_options.h"

namespace quellor::cli {
namespace {

using Names = std::vector<std::string>;

TEST(FindOptions, TakesEveryOptionAndTheFoldersInOrder) {
  const ParsedOptions p = ParseFindOptions({"-f", "a", "--folders", "--names", "list.txt", "-0", "-c", "b", "--",
                                            "-odd"});
  ASSERT_TRUE(p.options) << p.error;
  EXPECT_EQ(p.options->mode, search::MatchMode::Fuzzy);
  EXPECT_EQ(p.options->kind, search::NameKind::Folders);
  EXPECT_EQ(p.options->names_file, "list.txt");
  EXPECT_TRUE(p.options->null_separated);
  EXPECT_TRUE(p.options->count_per_name);
  EXPECT_EQ(p.options->roots, (std::vector<std::string>{"a", "b", "-odd"}));
  const ParsedOptions defaults = ParseFindOptions({});
  ASSERT_TRUE(defaults.options);
  EXPECT_EQ(defaults.options->mode, search::MatchMode::Exact);
  EXPECT_EQ(defaults.options->names_file, "-");
}

TEST(FindOptions, RefusesWhatItCannotUnderstand) {
  EXPECT_FALSE(ParseFindOptions({"--bogus"}).options);
  EXPECT_FALSE(ParseFindOptions({"--names"}).options);
  EXPECT_FALSE(ParseFindOptions({"--whole-computer", "/tmp"}).options);
  EXPECT_NE(ParseFindOptions({"-x"}).error.find("-x"), std::string::npos);
}

TEST(FindOptions, HelpNamesEveryOption) {
  const std::string help = FindHelpText();
  for (const char* option : {"--names", "--exact", "--fuzzy", "--folders", "--whole-computer", "--null", "--count",
                             "--quiet", "--help"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
}

TEST(NamesFromText, KeepsEveryNonBlankLineByteForByte) {
  const text::Charset gbk = text::Charset::Gbk();
  EXPECT_EQ(NamesFromText(gbk, "a\r\n\r\n   \n\xA1\xA1\r\n b \n\tc\nlast"), (Names{"a", " b ", "\tc", "last"}));
  EXPECT_EQ(NamesFromText(gbk, "x\ry\n"), Names{"x\ry"});
  EXPECT_EQ(NamesFromText(gbk, "dup\ndup\n"), (Names{"dup", "dup"}));
  EXPECT_TRUE(NamesFromText(gbk, "").empty());
}

}  // namespace
}  // namespace quellor::cli
