// quellor-find's command line.
#include <gtest/gtest.h>

#include "cli/find_options.h"

namespace quellor::cli {
namespace {

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
  EXPECT_EQ(ParseFindOptions({"--ledger", "l.csv"}).options->ledger_file, "l.csv");
  EXPECT_EQ(ParseFindOptions({"--ledger=l.csv"}).options->ledger_file, "l.csv");
  EXPECT_EQ(ParseFindOptions({"--export", "e.csv"}).options->export_file, "e.csv");
  EXPECT_EQ(ParseFindOptions({"--export=e.csv"}).options->export_file, "e.csv");
  EXPECT_EQ(ParseFindOptions({"--volume", "disk.img"}).options->volume, "disk.img");
  EXPECT_TRUE(defaults.options->read_indexes);
  EXPECT_FALSE(ParseFindOptions({"-w", "--index", "off"}).options->read_indexes);
  EXPECT_TRUE(ParseFindOptions({"-w", "--index=auto"}).options->read_indexes);
}

TEST(FindOptions, RefusesWhatItCannotUnderstand) {
  EXPECT_FALSE(ParseFindOptions({"--bogus"}).options);
  EXPECT_FALSE(ParseFindOptions({"--names"}).options);
  EXPECT_FALSE(ParseFindOptions({"--ledger"}).options);
  EXPECT_FALSE(ParseFindOptions({"--export"}).options);
  EXPECT_FALSE(ParseFindOptions({"--export="}).options);
  // Two files written after the search under one name: one would be lost.
  EXPECT_FALSE(ParseFindOptions({"--export", "x.csv", "--ledger", "x.csv"}).options);
  EXPECT_FALSE(ParseFindOptions({"--whole-computer", "/tmp"}).options);
  // A volume is searched whole, and its rows are no paths to copy or move from.
  EXPECT_FALSE(ParseFindOptions({"--volume", "disk.img", "/tmp"}).options);
  EXPECT_FALSE(ParseFindOptions({"--volume=disk.img", "--whole-computer"}).options);
  EXPECT_FALSE(ParseFindOptions({"--volume", "disk.img", "--copy-to", "/tmp"}).options);
  EXPECT_FALSE(ParseFindOptions({"--volume"}).options);
  EXPECT_FALSE(ParseFindOptions({"--index"}).options);
  EXPECT_FALSE(ParseFindOptions({"--index=on"}).options);
  EXPECT_NE(ParseFindOptions({"-x"}).error.find("-x"), std::string::npos);
  // --undo searches nothing; the journal belongs to a copy, a move or the undo.
  EXPECT_TRUE(ParseFindOptions({"--undo", "-q", "--journal", "j"}).options);
  EXPECT_FALSE(ParseFindOptions({"--undo", "/tmp"}).options);
  EXPECT_FALSE(ParseFindOptions({"--undo", "--names", "n.txt"}).options);
  EXPECT_FALSE(ParseFindOptions({"--undo", "--move-to", "/tmp"}).options);
  EXPECT_FALSE(ParseFindOptions({"--journal", "j", "/tmp"}).options);
}

TEST(FindOptions, HelpNamesEveryOption) {
  const std::string help = FindHelpText();
  for (const char* option : {"--names", "--exact", "--fuzzy", "--folders", "--whole-computer", "--null", "--count",
                             "--quiet", "--ledger", "--export", "--volume", "--index", "--journal", "--undo",
                             "--help"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace quellor::cli
