// quellor-find's copy, move and not-found file run as a program on real
// trees: what it says and how it ends where a careless tool loses files (two
// hits of one name, the searched folder as the target, links and special
// files among hits and targets, an output that fails, folders that cannot be
// read). What the file operations do to devices, links and trees is asserted
// by their own tests (tests/platform).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "cli/row_printer.h"
#include "platform/file_io.h"
#include "support/temp_tree.h"

namespace quellor::cli {
namespace {

namespace fs = std::filesystem;
using quellor::testing::TempTree;

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

class FindActionsTest : public ::testing::Test {
 protected:
  struct Result {
    int status = -1;
    std::string out;
    std::string err;
  };
  // quellor-find with `arguments`, the names one per line on standard input;
  // `redirect` replaces the capture of standard output.
  Result Run(const std::string& names, const std::string& arguments, const std::string& redirect = "",
             const std::string& prefix = "") {
    t.Write("names.list", names);
    // A copy's or move's journal of its own: the one beside the program is
    // shared with the tests that run at the same time.
    const bool transfer = arguments.find("--copy-to") != std::string::npos ||
                          arguments.find("--move-to") != std::string::npos;
    const std::string journal =
        transfer && arguments.find("--journal") == std::string::npos ? " --journal " + P("quellor-find.journal") : "";
    const std::string command = prefix + "timeout 60 " + QUELLOR_FIND + " -q " + arguments + journal + " < " +
                                Quoted(t.Path("names.list")) + " " +
                                (redirect.empty() ? "> " + Quoted(t.Path("out.txt")) : redirect) + " 2> " +
                                Quoted(t.Path("err.txt"));
    const int status = std::system(command.c_str());
    Result r;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = platform::ReadWholeFile(t.Path("out.txt")).value_or("");
    r.err = platform::ReadWholeFile(t.Path("err.txt")).value_or("");
    return r;
  }
  void Write(const std::string& relative, const std::string& bytes) { t.Write(relative, bytes); }
  std::optional<std::string> Content(const std::string& relative) const { return t.Read(relative); }
  std::string P(const std::string& relative) const { return Quoted(t.Path(relative)); }

  TempTree t;
};

TEST_F(FindActionsTest, TwoHitsOfOneNameKeepTheFirstPlacedAndTheSecondWhereItIs) {
  // A folder's files come before its subfolders': src/a/x1.txt first.
  Write("src/a/x1.txt", "a");
  Write("src/a/b/x1.txt", "b");
  t.Folder("moved");
  const Result moved = Run("x1\n", "--move-to " + P("moved") + " " + P("src"));
  EXPECT_EQ(moved.status, 1);
  EXPECT_EQ(Content("moved/x1.txt"), "a");
  EXPECT_FALSE(fs::exists(t.Path("src/a/x1.txt")));
  EXPECT_EQ(Content("src/a/b/x1.txt"), "b") << "not moved over the first";
  EXPECT_NE(moved.err.find("cannot move " + t.Path("src/a/b/x1.txt") + ": an item of the same name was just put there"),
            std::string::npos)
      << moved.err;
  EXPECT_NE(moved.err.find("moved 1 of 2 items"), std::string::npos) << moved.err;

  // A file that was in the target before is the user's to overwrite.
  Write("src/a/x1.txt", "a again");
  Write("copied/x1.txt", "older");
  const Result copied = Run("x1\n", "--copy-to " + P("copied") + " " + P("src"));
  EXPECT_EQ(copied.status, 1);
  EXPECT_EQ(Content("copied/x1.txt"), "a again");
  EXPECT_NE(copied.err.find("cannot copy " + t.Path("src/a/b/x1.txt")), std::string::npos) << copied.err;

  // Renamed on a clash, both arrive.
  t.Folder("renamed");
  EXPECT_EQ(Run("x1\n", "--copy-to " + P("renamed") + " --rename-on-clash " + P("src")).status, 0);
  EXPECT_EQ(Content("renamed/x1.txt"), "a again");
  EXPECT_EQ(Content("renamed/x1 (2).txt"), "b");
}

TEST_F(FindActionsTest, NoHitIsATargetNeitherByNameNorThroughALink) {
  Write("self/a.txt", "top");
  Write("self/sub/a.txt", "sub");
  const Result into_self = Run("a\n", "--copy-to " + P("self") + " " + P("self"));
  EXPECT_EQ(into_self.status, 1);
  EXPECT_EQ(Content("self/a.txt"), "top");
  EXPECT_EQ(Content("self/sub/a.txt"), "sub");

  Write("src/report.txt", "the report");
  t.Folder("dst");
  fs::create_symlink(t.Path("src/report.txt"), t.Path("dst/report.txt"));
  const Result through_link = Run("report\n", "--copy-to " + P("dst") + " " + P("src"));
  EXPECT_EQ(through_link.status, 1);
  EXPECT_EQ(Content("src/report.txt"), "the report");
  EXPECT_NE(through_link.err.find("a link is at the target"), std::string::npos) << through_link.err;
  EXPECT_NE(through_link.err.find("1 failed"), std::string::npos) << through_link.err;
}

TEST_F(FindActionsTest, FifosAndDevicesAreSkippedWithAMessage) {
  Write("src/q.txt", "plain");
  ASSERT_EQ(::mkfifo(t.Path("src/p.txt").c_str(), 0600), 0);
  t.Folder("dst");
  const Result r = Run("p\nq\n", "--copy-to " + P("dst") + " " + P("src"));
  EXPECT_EQ(r.status, 1) << "ended, never blocked reading the FIFO";
  EXPECT_EQ(Content("dst/q.txt"), "plain");
  EXPECT_NE(r.err.find("cannot copy " + t.Path("src/p.txt") + ": not a regular file"), std::string::npos) << r.err;
}

TEST_F(FindActionsTest, AFolderIsNotCopiedIntoItsOwnTreeThroughALinkedTarget) {
  Write("src/d/f.txt", "f");
  t.Folder("src/d/inner");
  fs::create_directory_symlink(t.Path("src/d/inner"), t.Path("into"));
  const Result r = Run("d\n", "--folders --copy-to " + P("into") + " " + P("src"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("the target folder lies inside it"), std::string::npos) << r.err;
}

TEST_F(FindActionsTest, NotFoundFileTakesGbkNamesEndingInALeadByteAsTheyAre) {
  Write("src/present.txt", "");
  const Result r =
      Run("gbk\x81\npresent\nmissing\n", "--not-found " + P("nf.txt") + " " + P("src"), "", "LC_ALL=zh_CN.GBK ");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Content("nf.txt"), "gbk\x81\r\nmissing\r\n");
}

TEST_F(FindActionsTest, AnEmptyTargetIsAUsageError) {
  for (const char* option : {"--copy-to=", "--move-to=", "--not-found="}) {
    const Result r = Run("a\n", std::string(option) + " " + P("."));
    EXPECT_EQ(r.status, 2) << option;
    EXPECT_NE(r.err.find("needs a value"), std::string::npos) << r.err;
  }
}

TEST_F(FindActionsTest, AFailingOutputSkipsNoAction) {
  Write("src/a.txt", "a");
  for (const std::string& redirect : {std::string("> /dev/full"), std::string(">&-"), std::string("| true")}) {
    SCOPED_TRACE(redirect);
    fs::remove_all(t.Path("dst"));
    t.Folder("dst");
    const Result r = Run("a\nnone\n", "--copy-to " + P("dst") + " --not-found " + P("nf.txt") + " " + P("src"),
                         redirect);
    EXPECT_EQ(Content("dst/a.txt"), "a");
    EXPECT_EQ(Content("nf.txt"), "none\r\n");
    if (redirect != "| true") {
      EXPECT_EQ(r.status, 1);
      EXPECT_NE(r.err.find("cannot write the results"), std::string::npos) << r.err;
    }
    fs::remove(t.Path("nf.txt"));
  }
  // A ledger alone is still written when the reader of the results has gone.
  Run("a\n", "--ledger " + P("ledger.csv") + " " + P("src"), "| true");
  EXPECT_NE(Content("ledger.csv").value_or("").find(t.Path("src/a.txt")), std::string::npos);
}

TEST_F(FindActionsTest, FoldersThatCannotBeReadAreNamedOnceAndEndInStatusOne) {
  Write("src/a.txt", "");
  Write("src/closed/a.txt", "");
  ::chmod(t.Path("src/closed").c_str(), 0);
  // Past the path limit.
  ASSERT_NE(t.FolderChain("src", 4200), "");
  // Root reads any folder: the search runs as nobody then.
  const std::string as_nobody = ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
  const Result r = Run("a\n", P("src") + " " + P("src"), "", as_nobody);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, t.Path("src/a.txt") + "\n" + t.Path("src/a.txt") + "\n");
  const std::string closed = "quellor-find: " + t.Path("src/closed") + ": cannot read the folder, not searched\n";
  EXPECT_NE(r.err.find(closed), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find(closed), r.err.rfind(closed)) << "named once";
  EXPECT_NE(r.err.find(": path too long, not searched\n"), std::string::npos) << r.err;

  ::chmod(t.Path("src/closed").c_str(), 0755);
}

TEST_F(FindActionsTest, UndoTakesTheLastMoveBackAndLeavesWhatChangedSince) {
  Write("src/a/x1.txt", "a");
  Write("src/b/x2.txt", "b");
  t.Folder("moved");
  const std::string journal = " --journal " + P("journal");
  ASSERT_EQ(Run("x1\nx2\n", "--move-to " + P("moved") + journal + " " + P("src")).status, 0);
  ASSERT_FALSE(fs::exists(t.Path("src/a/x1.txt")));
  Write("moved/x2.txt", "changed");

  const std::string undo = "--undo" + journal;
  const Result first = Run("", undo);
  EXPECT_EQ(first.status, 1) << first.err;
  EXPECT_EQ(Content("src/a/x1.txt"), "a");
  EXPECT_EQ(Content("moved/x2.txt"), "changed");
  EXPECT_NE(first.err.find("left " + t.Path("moved/x2.txt") + " (moved from " + t.Path("src/b/x2.txt") +
                           "): it is no longer the item placed there"),
            std::string::npos)
      << first.err;
  EXPECT_NE(first.err.find("undid the last move: 1 moved back, 1 left, 0 with nothing to undo"), std::string::npos)
      << first.err;

  const Result second = Run("", undo);
  EXPECT_EQ(second.status, 1);
  EXPECT_NE(second.err.find("0 moved back, 1 left, 1 with nothing to undo"), std::string::npos) << second.err;
  const Result none = Run("", "--undo --journal " + P("no-journal"));
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("nothing to undo"), std::string::npos) << none.err;
  EXPECT_EQ(Run("", "--undo " + P("src")).status, 2);
}

TEST(RowPrinterFolderNotRead, ClearsTheProgressLineFirst) {
  std::FILE* err = std::tmpfile();
  ASSERT_NE(err, nullptr);
  const std::vector<std::string> keywords = {"name"};
  RowPrinter::Settings settings;
  settings.progress = true;
  RowPrinter printer(keywords, settings, err, err);
  printer.KeywordsSearched(1);
  printer.FolderNotRead("/x", platform::ReadProblem::Unreadable);
  std::rewind(err);
  std::string text;
  for (int c; (c = std::fgetc(err)) != EOF;) text += static_cast<char>(c);
  std::fclose(err);
  const std::size_t line = text.find("quellor-find: /x");
  ASSERT_NE(line, std::string::npos) << text;
  ASSERT_GT(line, 0u);
  EXPECT_EQ(text[line - 1], '\r') << "the message starts at the line's beginning, the progress text blanked";
  EXPECT_EQ(text.substr(line).find('\r'), std::string::npos);
}

}  // namespace
}  // namespace quellor::cli
