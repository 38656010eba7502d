// quellor-find end to end on real trees: its rows, in its order, are those of
// the per-keyword reference search; exit codes and messages of bad usage.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>

#include "platform/system_charset.h"
#include "quellor_version.h"
#include "search/recording_sink.h"
#include "search/reference_search.h"
#include "search/search_run.h"
#include "support/temp_tree.h"

namespace quellor::cli {
namespace {

using search::testing::RecordingSink;
using search::testing::ReferenceSearch;
using quellor::testing::TempTree;

struct Result {
  std::string out;
  int status = -1;
};

Result RunFind(const std::string& arguments) {
  Result r;
  const std::string command = std::string(QUELLOR_FIND) + " " + arguments + " 2>/dev/null";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return r;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, got);
  const int status = ::pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::vector<std::string> Lines(const std::string& text, char end) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find(end, start)) != std::string::npos; start = at + 1) {
    lines.push_back(text.substr(start, at - start));
  }
  return lines;
}

std::vector<std::string> ReferenceRows(const std::vector<std::string>& names, const std::string& root,
                                       search::NameKind kind, search::MatchMode mode) {
  const search::RunSettings settings = search::PlatformRunSettings(platform::NameCharset());
  const search::MatchRules rules = search::RulesOf(settings, kind, mode);
  std::atomic<bool> stop{false};
  RecordingSink sink(names.size(), stop);
  ReferenceSearch reference(names, rules, settings.separator, sink, stop);
  if (kind == search::NameKind::Files) {
    reference.FileRun({root});
  } else {
    reference.FolderRun({root});
  }
  return sink.got.rows;
}

TEST(QuellorFind, PrintsTheRowsOfThePerKeywordSearchInItsOrder) {
  std::mt19937 rng(7);
  const std::vector<std::string> pieces = {"a", "B", "c", ".", " ", "ab", "\xC3\xA9"};
  auto word = [&](std::size_t max) {
    std::string w;
    for (std::size_t n = 1 + rng() % max; n > 0; --n) w += pieces[rng() % pieces.size()];
    return w == "." || w == ".." ? std::string("dot") : w;
  };
  TempTree t;
  std::vector<std::string> folders{""};
  for (int i = 0; i < 20; ++i) {
    folders.push_back(folders[rng() % folders.size()] + "/" + word(5));
    t.Folder(folders.back().substr(1));
  }
  for (int i = 0; i < 100; ++i) t.File((folders[rng() % folders.size()] + "/" + word(6)).substr(1));
  std::vector<std::string> names;
  while (names.size() < 12) {
    const std::string name = word(3);
    if (name.find_first_not_of(' ') != std::string::npos) names.push_back(name);  // blank lines are no names
  }
  names.push_back("*");
  names.push_back(names.front());
  const std::string names_file = t.Path("names.list");
  std::ofstream(names_file) << [&] {
    std::string text;
    for (const std::string& n : names) text += n + "\r\n";
    return text + "\n   \n";
  }();
  const std::string quoted_root = "'" + t.Root() + "'";
  for (search::NameKind kind : {search::NameKind::Files, search::NameKind::Folders}) {
    for (search::MatchMode mode : {search::MatchMode::Exact, search::MatchMode::Fuzzy}) {
      std::string options = "-0 --names '" + names_file + "'";
      if (kind == search::NameKind::Folders) options += " --folders";
      if (mode == search::MatchMode::Fuzzy) options += " --fuzzy";
      const Result r = RunFind(options + " " + quoted_root);
      EXPECT_EQ(r.status, 0);
      EXPECT_EQ(Lines(r.out, '\0'), ReferenceRows(names, t.Root(), kind, mode));
    }
  }
}

TEST(QuellorFind, CountsHitsPerNameAndRefusesBadUsage) {
  TempTree t;
  t.File("a.txt");
  t.File("sub/A");
  t.File("sub/b");
  const Result counted = RunFind("--count '" + t.Root() + "' < /dev/null");
  EXPECT_EQ(counted.status, 2);  // no names
  std::ofstream(t.Path("names")) << "a\nmissing\na\n";
  const Result counts = RunFind("-c --names '" + t.Path("names") + "' '" + t.Root() + "'");
  EXPECT_EQ(counts.status, 0);
  EXPECT_EQ(counts.out, "2\ta\n0\tmissing\n2\ta\n");
  EXPECT_EQ(RunFind("--names '" + t.Path("absent") + "'").status, 2);
  EXPECT_EQ(RunFind("--no-such-option").status, 2);
  const Result missing_root = RunFind("--names '" + t.Path("names") + "' '" + t.Path("absent") + "'");
  EXPECT_EQ(missing_root.status, 0);
  EXPECT_EQ(missing_root.out, "");
  EXPECT_NE(RunFind("--help").out.find("--names"), std::string::npos);
  EXPECT_EQ(RunFind("--version").out, "quellor-find " QUELLOR_VERSION "\n");  // reads no names first
}

}  // namespace
}  // namespace quellor::cli
