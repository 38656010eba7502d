// Runs of the engine on real temporary trees, against the per-keyword
// reference: the same rows in the same order, the same keywords' turns and
// ends, stop requests included.
#include <gtest/gtest.h>

#include <random>
#include <set>


#include "platform/fixed_drives.h"
#include "platform/folder_listing.h"
#include "platform/system_charset.h"
#include "search/recording_sink.h"
#include "search/reference_search.h"
#include "search/search_run.h"
#include "support/foreign_names.h"
#include "support/temp_tree.h"

namespace quellor::search {
namespace {

using testing::Recorded;
using testing::RecordingSink;
using testing::ReferenceSearch;
using quellor::testing::TempTree;
using Rows = std::vector<std::string>;

const RunSettings kSettings = PlatformRunSettings(platform::NameCharset());

// More readers than cores, with room for two listings each: reading ahead
// and handing back happen all the time.
RunSettings ManyReaders() {
  RunSettings settings = kSettings;
  settings.readers = ReaderLimits{12, 16, 2};
  return settings;
}

struct Outcome {
  Recorded engine, reference;
};

struct Trigger {
  std::size_t after_rows = 0;
  std::size_t after_folders = 0;
};

Recorded RunEngine(const RunRequest& request, MatchMode mode, Trigger trigger = {},
                   const RunSettings& settings = kSettings) {
  std::atomic<bool> stop{false};
  const std::atomic<MatchMode> shared_mode{mode};
  RecordingSink sink(request.keywords.size(), stop);
  sink.stop_after_rows = trigger.after_rows;
  sink.stop_after_folders = trigger.after_folders;
  SearchRun(request, settings, sink, stop, shared_mode).Run();
  return sink.got;
}

Recorded RunReference(const RunRequest& request, MatchMode mode, Trigger trigger = {}) {
  std::atomic<bool> stop{false};
  RecordingSink sink(request.keywords.size(), stop);
  sink.stop_after_rows = trigger.after_rows;
  sink.stop_after_folders = trigger.after_folders;
  ReferenceSearch reference(request.keywords, RulesOf(kSettings, request.kind, mode), kSettings.separator, sink, stop);
  if (request.kind == NameKind::Files) {
    reference.FileRun(request.roots);
  } else {
    reference.FolderRun(request.roots);
  }
  return sink.got;
}

// Same rows, order and ends as the reference; progress is compared only for
// runs that were not stopped, since the engine may notice a stop at a later
// keyword of the same folder (no row lies between the two points).
void ExpectSameAsReference(const RunRequest& request, MatchMode mode, Trigger trigger = {},
                           const RunSettings& settings = kSettings) {
  Recorded engine = RunEngine(request, mode, trigger, settings);
  Recorded reference = RunReference(request, mode, trigger);
  if (trigger.after_rows != 0 || trigger.after_folders != 0) {
    engine.progress_reports = reference.progress_reports = 0;
    engine.last_progress_keyword = reference.last_progress_keyword = 0;
  }
  EXPECT_EQ(engine.rows, reference.rows);
  EXPECT_EQ(engine, reference) << "progress " << engine.progress_reports << " vs " << reference.progress_reports
                               << ", files finished " << engine.files_finished << " vs " << reference.files_finished;
}

RunRequest Request(std::vector<std::string> keywords, std::vector<std::string> roots,
                   NameKind kind = NameKind::Files) {
  return RunRequest{std::move(keywords), std::move(roots), kind};
}

TEST(SearchRun, FindsWhatTheRulesSayInEveryFolderBeforeItsSubfolders) {
  TempTree t;
  for (const char* f : {"abc", "ABC.TXT", "abc.tar.gz", "abcd.txt", "xabc.txt", "abc .doc", "Report.doc",
                        "PORT", "export.txt", ".hidden", ".git/abc.txt", "sub/abc", "sub/deeper/abc.1"}) {
    t.File(f);
  }
  const RunRequest request = Request({"abc", "port", "abc "}, {t.Root()});
  const Recorded exact = RunEngine(request, MatchMode::Exact);
  EXPECT_EQ(std::set<std::string>(exact.rows.begin(), exact.rows.end()),
            (std::set<std::string>{t.Path("abc"), t.Path("ABC.TXT"), t.Path("abc.tar.gz"), t.Path("PORT"),
                                   t.Path("abc .doc"), t.Path(".git/abc.txt"), t.Path("sub/abc"),
                                   t.Path("sub/deeper/abc.1")}));
  // The root's hits come first, grouped by keyword.
  ASSERT_GE(exact.rows.size(), 5u);
  EXPECT_EQ(exact.rows[3], t.Path("PORT"));
  EXPECT_EQ(exact.rows[4], t.Path("abc .doc"));
  EXPECT_EQ(exact.files_finished, 1);
  EXPECT_EQ(exact.progress_reports, 3u * 4);  // four folders
  ExpectSameAsReference(request, MatchMode::Exact);
  ExpectSameAsReference(request, MatchMode::Fuzzy);
  ExpectSameAsReference(Request({".", "*", "?", "*.*", "a*", "*t"}, {t.Root()}), MatchMode::Exact);
}

TEST(SearchRun, ListsTwiceWhatTwoKeywordsOrTwoRootsFind) {
  TempTree t;
  t.File("sub/abc.txt");
  const Recorded twice = RunEngine(Request({"ab", "abc", "ab"}, {t.Root()}), MatchMode::Fuzzy);
  EXPECT_EQ(twice.rows, Rows(3, t.Path("sub/abc.txt")));
  const RunRequest overlapping = Request({"abc"}, {t.Root(), t.Path("sub"), t.Path("missing"), t.Root()});
  const Recorded again = RunEngine(overlapping, MatchMode::Exact);
  EXPECT_EQ(again.rows, Rows(3, t.Path("sub/abc.txt")));
  // The run ends once, after the last root, with every root's rows before it.
  EXPECT_EQ(again.files_finished, 1);
  EXPECT_EQ(again.rows_at_first_finish, 3u);
  ExpectSameAsReference(overlapping, MatchMode::Exact);
}

TEST(SearchRun, AMissingRootStillCountsItsKeywordsAndFinishes) {
  TempTree t;
  const Recorded got = RunEngine(Request({"a", "b"}, {t.Path("missing"), ""}), MatchMode::Exact);
  EXPECT_TRUE(got.rows.empty());
  EXPECT_EQ(got.progress_reports, 4u);
  EXPECT_EQ(got.last_progress_keyword, 1u);
  EXPECT_EQ(got.files_finished, 1);
  const Recorded folders = RunEngine(Request({"a"}, {t.Path("missing"), "", "relative"}, NameKind::Folders),
                                     MatchMode::Exact);
  EXPECT_EQ(folders, (Recorded{{}, {}, {}, 0, 0, 0, 1, 1, 0}));
}

TEST(SearchRun, FolderNamesComeInPostOrderWithTheRootFirst) {
  TempTree t;
  t.Folder("docs/ax/ay");
  t.File("docs/ax/a-file");
  const Recorded post = RunEngine(Request({"a", "docs"}, {t.Path("docs")}, NameKind::Folders), MatchMode::Fuzzy);
  EXPECT_EQ(post.rows, (Rows{t.Path("docs/ax/ay"), t.Path("docs/ax"), t.Path("docs")}));
  const Recorded exact =
      RunEngine(Request({"DOCS", "ay", "a", "AX", "docs"}, {t.Path("docs")}, NameKind::Folders), MatchMode::Exact);
  EXPECT_EQ(exact.rows, (Rows{t.Path("docs"), t.Path("docs/ax/ay"), t.Path("docs/ax"), t.Path("docs")}));
  EXPECT_EQ(exact.folders_started, 1);
  EXPECT_EQ(exact.folders_finished, 1);
  // '*' and '?' are literal in folder names; the root itself is no hit of a file search.
  EXPECT_TRUE(RunEngine(Request({"*", "?"}, {t.Path("docs")}, NameKind::Folders), MatchMode::Fuzzy).rows.empty());
  EXPECT_TRUE(RunEngine(Request({"docs", "ax"}, {t.Path("docs")}), MatchMode::Exact).rows.empty());
  ExpectSameAsReference(Request({"a", "docs", "x"}, {t.Path("docs"), t.Root()}, NameKind::Folders),
                        MatchMode::Fuzzy);
}

// Names code page 936 cannot write are listed and matched as they are, on
// Windows through the wide listing: the seven invoices, the photos in and
// under folders of such names.
TEST(SearchRun, NamesOfEveryCharacterAreListedAndMatched) {
  using quellor::testing::kJoergFolder;
  using quellor::testing::kKoreanFolder;
  TempTree t;
  Rows invoices;
  for (const auto& invoice : quellor::testing::SevenInvoices()) {
    t.File(invoice.name);
    invoices.push_back(t.Path(invoice.name));
  }
  const Rows photos = {t.Path(kJoergFolder + "/IMG_1.jpg"), t.Path(kJoergFolder + "/" + kKoreanFolder + "/IMG_2.jpg"),
                       t.Path(kKoreanFolder + "/IMG_3.jpg"), t.Path(kKoreanFolder + "/sub/IMG_4.jpg")};
  for (const std::string& photo : photos) t.File(photo.substr(t.Root().size() + 1));

  const Recorded fuzzy = RunEngine(Request({"rechnung"}, {t.Root()}), MatchMode::Fuzzy);
  EXPECT_EQ(std::set<std::string>(fuzzy.rows.begin(), fuzzy.rows.end()),
            std::set<std::string>(invoices.begin(), invoices.end()));
  Rows stems;
  for (const auto& invoice : quellor::testing::SevenInvoices()) stems.push_back(invoice.name.substr(0, invoice.name.rfind('.')));
  EXPECT_EQ(RunEngine(Request(stems, {t.Root()}), MatchMode::Exact).rows, invoices) << "each its own, in keyword order";
  const Recorded found = RunEngine(Request({"IMG_1", "IMG_2", "IMG_3", "IMG_4"}, {t.Root()}), MatchMode::Exact);
  EXPECT_EQ(std::set<std::string>(found.rows.begin(), found.rows.end()), std::set<std::string>(photos.begin(), photos.end()));
  const Rows folders = RunEngine(Request({kJoergFolder, kKoreanFolder}, {t.Root()}, NameKind::Folders), MatchMode::Exact).rows;
  EXPECT_EQ(std::set<std::string>(folders.begin(), folders.end()),
            (std::set<std::string>{t.Path(kJoergFolder), t.Path(kJoergFolder + "/" + kKoreanFolder), t.Path(kKoreanFolder)}));
  // A '?' stands for the ö, one character however many bytes it takes, so the decoy matches as well.
  const Rows either = RunEngine(Request({"J?rg-Rechnung"}, {t.Root()}), MatchMode::Exact).rows;
  EXPECT_EQ(std::set<std::string>(either.begin(), either.end()),
            (std::set<std::string>{t.Path(quellor::testing::kJoerg), t.Path(quellor::testing::kDecoy)}));
  const Rows upper = RunEngine(Request({quellor::testing::Utf8(u8"J\u00D6RG-RECHNUNG")}, {t.Root()}), MatchMode::Exact).rows;
#ifdef _WIN32
  // Letter case as the file system ignores it.
  EXPECT_EQ(upper, Rows{t.Path(quellor::testing::kJoerg)});
  // The short (8.3) alias the listing gives is matched too.
  platform::FolderListing listing;
  ASSERT_TRUE(platform::FolderReader(t.Root()).Read(t.Root(), listing));
  std::string alias;
  for (std::size_t i = 0; i < listing.size(); ++i) {
    if (listing[i].name == quellor::testing::kJoerg) alias = listing[i].alias;
  }
  if (!alias.empty()) {
    EXPECT_EQ(RunEngine(Request({alias}, {t.Root()}), MatchMode::Exact).rows, Rows{t.Path(quellor::testing::kJoerg)})
        << alias;
  }
#else
  EXPECT_TRUE(upper.empty()) << "A-Z only";
#endif
  ExpectSameAsReference(Request({"rechnung", "IMG", "?", "*.txt"}, {t.Root()}), MatchMode::Fuzzy);
}

#ifndef _WIN32
// Each row carries what its entry is itself: a link stays a Link row.
TEST(SearchRun, ALinkToAFolderIsListedButNeverEntered) {
  using platform::PathKind;
  TempTree t;
  t.File("loop-target/abc");
  ASSERT_TRUE(t.FolderLink("loop-target/back", t.Root()));
  ASSERT_TRUE(t.FolderLink("abc", t.Path("loop-target")));
  std::filesystem::create_symlink(t.Path("loop-target/abc"), t.Path("back.txt"));
  const Recorded files = RunEngine(Request({"abc", "back"}, {t.Root()}), MatchMode::Fuzzy);
  EXPECT_EQ(files.rows, (Rows{t.Path("back.txt"), t.Path("loop-target/abc")}));
  EXPECT_EQ(files.row_kinds, (std::vector<PathKind>{PathKind::Link, PathKind::File}));
  const Recorded folders =
      RunEngine(Request({"back", "abc", "loop-target"}, {t.Root()}, NameKind::Folders), MatchMode::Exact);
  EXPECT_EQ(folders.rows, (Rows{t.Path("loop-target/back"), t.Path("abc"), t.Path("loop-target")}));
  EXPECT_EQ(folders.row_kinds, (std::vector<PathKind>{PathKind::Link, PathKind::Link, PathKind::Folder}));
  ExpectSameAsReference(Request({"a", "b"}, {t.Root()}), MatchMode::Fuzzy);
  ExpectSameAsReference(Request({"a", "b"}, {t.Root()}, NameKind::Folders), MatchMode::Fuzzy);
  // A link given as the root is walked: the user chose it.
  EXPECT_EQ(RunEngine(Request({"abc"}, {t.Path("abc")}), MatchMode::Exact).rows, Rows{t.Path("abc/abc")});
}
#endif

// A random tree of folders and files whose names mix letters, case, dots,
// spaces and (natively) non-ASCII bytes.
class RandomTree {
 public:
  explicit RandomTree(std::uint32_t seed) : rng_(seed) {
    std::vector<std::string> folders{""};
    for (int i = 0; i < 25; ++i) {
      const std::string parent = folders[Pick(folders.size())];
      folders.push_back((parent.empty() ? "" : parent + "/") + Name(false));
      tree_.Folder(folders.back());
    }
    for (int i = 0; i < 120; ++i) {
      const std::string parent = folders[Pick(folders.size())];
      const std::string path = (parent.empty() ? "" : parent + "/") + Name(true);
      std::error_code error;
      if (!std::filesystem::exists(tree_.Path(path), error)) tree_.File(path);
    }
    folders_ = folders;
  }

  std::string Name(bool file) {
    // Names stay 8.3-shaped on Windows so that no short alias differs from them.
#ifdef _WIN32
    static const std::vector<std::string> pieces = {"a", "b", "c", "A", "B", "x", "1"};
    std::string name = Word(pieces, 1, 6);
    if (file && Pick(3) != 0) name += "." + Word(pieces, 1, 3);
#else
    static const std::vector<std::string> pieces = {"a", "b", "c", "A", "B", "x", ".", " ", "\xC3\xA9", "ab"};
    std::string name = Word(pieces, 1, 6);
    if (file && Pick(3) != 0) name += "." + Word(pieces, 1, 3);
    if (name == "." || name == "..") name = "dot";
#endif
    return name;
  }

  std::string Keyword() {
#ifdef _WIN32
    static const std::vector<std::string> pieces = {"a", "b", "c", "A", "x", "1", ".", "*", "?"};
#else
    static const std::vector<std::string> pieces = {"a", "b", "c", "A", "x", ".", " ", "*", "?", "\xC3\xA9", "\xA9"};
#endif
    return Word(pieces, 1, 4);
  }

  std::string Word(const std::vector<std::string>& pieces, std::size_t min, std::size_t max) {
    std::string word;
    for (std::size_t n = min + Pick(max - min + 1); n > 0; --n) word += pieces[Pick(pieces.size())];
    return word;
  }
  std::size_t Pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }

  const TempTree& Tree() const { return tree_; }
  const std::vector<std::string>& Folders() const { return folders_; }

 private:
  std::mt19937 rng_;
  TempTree tree_;
  std::vector<std::string> folders_;
};

TEST(SearchRun, AgreesWithThePerKeywordSearchOnRandomTrees) {
  for (std::uint32_t seed = 1; seed <= 6; ++seed) {
    RandomTree random(seed);
    for (int round = 0; round < 6; ++round) {
      std::vector<std::string> keywords;
      for (std::size_t k = 1 + random.Pick(12); k > 0; --k) keywords.push_back(random.Keyword());
      if (random.Pick(2) == 0) keywords.push_back(keywords.front());  // a duplicate
      std::vector<std::string> roots{random.Tree().Root()};
      if (random.Pick(2) == 0) roots.push_back(random.Tree().Path(random.Folders()[random.Pick(random.Folders().size())]));
      for (NameKind kind : {NameKind::Files, NameKind::Folders}) {
        for (MatchMode mode : {MatchMode::Exact, MatchMode::Fuzzy}) {
          SCOPED_TRACE("seed " + std::to_string(seed) + " round " + std::to_string(round));
          ExpectSameAsReference(Request(keywords, roots, kind), mode);
          if (round < 2) ExpectSameAsReference(Request(keywords, roots, kind), mode, {}, ManyReaders());
        }
      }
    }
  }
}

TEST(SearchRun, AStopTakesEffectAtEachPointWhereItIsChecked) {
  RandomTree random(99);
  const std::vector<std::string> keywords{"a", "b", "*", "c", "a"};
  const std::vector<std::string> roots{random.Tree().Root(), random.Tree().Path(random.Folders()[3]),
                                       random.Tree().Root()};
  for (NameKind kind : {NameKind::Files, NameKind::Folders}) {
    const RunRequest request = Request(keywords, roots, kind);
    const Recorded whole = RunEngine(request, MatchMode::Fuzzy);
    ASSERT_GT(whole.rows.size(), 20u);
    for (std::size_t rows = 1; rows <= whole.rows.size(); rows += 1 + rows / 8) {
      SCOPED_TRACE("stop after row " + std::to_string(rows));
      ExpectSameAsReference(request, MatchMode::Fuzzy, Trigger{rows, 0});
      const Recorded stopped = RunEngine(request, MatchMode::Fuzzy, Trigger{rows, 0});
      // The run ends after what was found, and nothing is found after its end.
      EXPECT_EQ(stopped.rows_at_first_finish, stopped.rows.size());
    }
    if (kind == NameKind::Files) {
      for (std::size_t folders = 1; folders <= 3 * random.Folders().size(); folders += 3) {
        SCOPED_TRACE("stop after folder " + std::to_string(folders));
        ExpectSameAsReference(request, MatchMode::Fuzzy, Trigger{0, folders});
        ExpectSameAsReference(request, MatchMode::Fuzzy, Trigger{0, folders}, ManyReaders());
      }
    }
  }
}

TEST(SearchRun, TheMatchModeIsReadAgainForEveryFolder) {
  TempTree t;
  t.File("abc.txt");
  t.File("sub/xabc");
  std::atomic<bool> stop{false};
  std::atomic<MatchMode> mode{MatchMode::Exact};
  struct SwitchingSink : RecordingSink {
    using RecordingSink::RecordingSink;
    std::atomic<MatchMode>* mode = nullptr;
    void KeywordsSearched(std::size_t count) override {
      RecordingSink::KeywordsSearched(count);
      *mode = MatchMode::Fuzzy;
    }
  } sink(1, stop);
  sink.mode = &mode;
  SearchRun(Request({"abc"}, {t.Root()}), kSettings, sink, stop, mode).Run();
  EXPECT_EQ(sink.got.rows, (Rows{t.Path("abc.txt"), t.Path("sub/xabc")}));
}

TEST(WholeComputer, RootsAreExistingFoldersListedOnce) {
  const std::vector<std::string> roots = platform::FixedDriveRoots();
  const std::set<std::string> distinct(roots.begin(), roots.end());
  EXPECT_EQ(distinct.size(), roots.size());
  for (const std::string& root : roots) {
    EXPECT_TRUE(platform::IsExistingFolder(root)) << root;
#ifdef _WIN32
    EXPECT_TRUE(root.size() == 2 && root[1] == ':') << root;
#else
    EXPECT_EQ(root[0], '/') << root;
#endif
  }
}

#ifndef _WIN32
// A folder past the path limit, in a tree wide enough for the readers ahead
// of the walk to take some of it: each one reported once, where it lies.
TEST(SearchRunProblems, FoldersPastThePathLimitAreReportedOnceEach) {
  TempTree t;
  std::set<std::string> expected;
  for (int sibling = 0; sibling < 6; ++sibling) {
    const std::string top = "s" + std::to_string(sibling);
    t.File(top + "/a.txt");
    const std::string deep = t.FolderChain(top, platform::MaxPathLength());
    ASSERT_NE(deep, "");
    expected.insert(deep);
  }
  struct ProblemSink : RecordingSink {
    using RecordingSink::RecordingSink;
    void FolderNotRead(std::string_view path, platform::ReadProblem problem) override {
      EXPECT_EQ(problem, platform::ReadProblem::TooLong);
      reported.emplace_back(path);
    }
    std::vector<std::string> reported;
  };
  for (NameKind kind : {NameKind::Files, NameKind::Folders}) {
    std::atomic<bool> stop{false};
    const std::atomic<MatchMode> mode{MatchMode::Exact};
    ProblemSink sink(1, stop);
    SearchRun(RunRequest{{"a"}, {t.Root()}, kind}, kSettings, sink, stop, mode).Run();
    EXPECT_EQ(std::set<std::string>(sink.reported.begin(), sink.reported.end()), expected);
    EXPECT_EQ(sink.reported.size(), expected.size()) << "each once";
    if (kind == NameKind::Files) {
      EXPECT_EQ(sink.got.rows.size(), 6u);
    }
  }
}
#endif

}  // namespace
}  // namespace quellor::search
