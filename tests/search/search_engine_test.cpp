// The engine as its owners run it: rows and statuses delivered on the owner's
// thread in slices, a new run or a close during a run, and the tap of an owner
// without a window (quellor-find).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/file_system.h"
#include "platform/folder_listing.h"
#include "platform/system_charset.h"
#include "search/progress_number.h"
#include "search/recording_sink.h"
#include "search/search_engine.h"
#include "support/standard_trees.h"
#include "support/temp_tree.h"

namespace quellor::search {
namespace {

using testing::RecordingSink;
using quellor::testing::TempTree;

const RunSettings kSettings = PlatformRunSettings(platform::NameCharset());

// A status as the display was given it, and whether every row was shown by then.
struct Shown {
  RunStatus::Stage stage;
  int rows;
  std::size_t folders_not_read;
  bool all_rows_shown;
  bool operator==(const Shown&) const = default;
};

class RecordingDisplay : public RunDisplay {
 public:
  void AppendRows(const ResultRows& given, int first, int end) override { rows.AppendFrom(given, first, end); }
  void ShowAppendedRows() override {
    ++shows;
    shown = rows.Count();
  }
  int RowCount() const override { return rows.Count(); }
  void ShowStatus(const RunStatus& s) override {
    statuses.push_back({s.stage, s.rows, s.folders_not_read, shown == rows.Count()});
  }
  ResultRows rows;
  int shows = 0;
  int shown = 0;
  std::vector<Shown> statuses;
};

struct Owner {
  void Start(std::vector<std::string> keywords, std::vector<std::string> roots, NameKind kind = NameKind::Files) {
    engine.Start(RunRequest{std::move(keywords), std::move(roots), kind}, kSettings);
  }
  // Delivers until the run has ended, as the window's message loop would.
  void Finish() {
    while (engine.Running()) {
      engine.DeliverPending(display);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    engine.DeliverPending(display);
  }
  std::atomic<int> wakes{0};
  SearchEngine engine{[this] { ++wakes; }, Batching{1024, std::chrono::milliseconds(30)}};
  RecordingDisplay display;
};

TEST(SearchEngine, RowsComeInSlicesAndTheEndWaitsForTheLast) {
  TempTree t;
  quellor::testing::trees::Wide(t, 300);
  Owner o;
  o.Start({"hit*"}, {t.Root()});
  while (o.engine.Running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_GT(o.wakes.load(), 0);
  // A slice whose time is up takes nothing: the rows wait, and so does the status that counts them.
  EXPECT_TRUE(o.engine.DeliverPending(o.display, std::chrono::steady_clock::now()));
  EXPECT_EQ(o.display.rows.Count(), 0);
  EXPECT_TRUE(o.display.statuses.empty());
  EXPECT_FALSE(o.engine.DeliverPending(o.display));
  EXPECT_EQ(o.display.rows.Count(), 300);
  EXPECT_EQ(o.display.statuses, (std::vector<Shown>{{RunStatus::Stage::FileRunEnded, 300, 0, true}}));
  EXPECT_FALSE(o.engine.DeliverPending(o.display)) << "nothing left";
}

// The rows say which keyword found them, and carry what the listing told of
// their items (Windows' listing tells size and time; a POSIX one nothing).
// The engine tells when an ended run's last rows are in.
TEST(SearchEngine, DeliveredRowsNameTheirKeywordAndTheListingsFactsAndTheLastOfThemIsTold) {
  TempTree t;
  quellor::testing::trees::Wide(t, 30);
  t.Write("f3/hit3.txt", "twelve bytes");
  Owner o;
  o.Start({"hit1*", "hit2*", "hit3*"}, {t.Root()});
  while (o.engine.Running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_FALSE(o.engine.AllDelivered()) << "the run has ended, its rows wait";
  o.Finish();
  EXPECT_TRUE(o.engine.AllDelivered());
  const ResultRows& rows = o.display.rows;
  ASSERT_EQ(rows.Count(), 11 + 11 + 1);
  const std::unique_ptr<platform::FileSystem> files = platform::MakeSystemFileSystem();
  for (int row = 0; row < rows.Count(); ++row) {
    const std::string path(rows.Path(row));
    const std::string_view keyword = rows.Keyword(row);
    ASSERT_EQ(keyword.size(), 5u) << path;
    EXPECT_NE(path.find(keyword.substr(0, 4)), std::string::npos) << path;
    const platform::ItemState look = files->Look(path);
#ifdef _WIN32
    ASSERT_TRUE(rows.Size(row) && rows.Modified(row)) << path;
#endif
    if (rows.Size(row)) {
      EXPECT_EQ(*rows.Size(row), look.size) << path;
    }
    const std::int64_t second = platform::kModifiedUnitsPerSecond;
    const std::int64_t look_second = platform::kModifiedAt1970 + (look.modified - platform::kModifiedAt1970) / second * second;
    if (rows.Modified(row)) {
      EXPECT_EQ(*rows.Modified(row), look_second) << path;
    }
  }
}

// The owner paces the showing of rows; the engine asks for it once, before the status that counts them.
TEST(SearchEngine, RowsDeliveredMidRunWaitForTheOwnerToShowThem) {
  TempTree t;
  quellor::testing::trees::Wide(t, 3000);
  Owner o;
  o.Start({"hit*"}, {t.Root()});
  o.Finish();
  EXPECT_EQ(o.display.shows, 1);
  ASSERT_FALSE(o.display.statuses.empty());
  EXPECT_EQ(o.display.statuses.back(), (Shown{RunStatus::Stage::FileRunEnded, 3000, 0, true}));
}

TEST(SearchEngine, ClosingMidRunNeitherWaitsForTheOwnerNorLeaksThreads) {
  TempTree t;
  quellor::testing::trees::Wide(t, 300);
  for (int round = 0; round < 3; ++round) {
    Owner o;
    o.Start({"hit*", "f*"}, {t.Root(), t.Root(), t.Root()});
    o.Start({"hit*", "f*"}, {t.Root(), t.Root(), t.Root()});
    // Nothing is delivered: the workers must not wait for the owner.
    o.engine.StopAndWait();
    EXPECT_FALSE(o.engine.Running());
  }
}

TEST(SearchEngine, StopAllEndsEveryRunWhileTheOwnerGoesOnDelivering) {
  TempTree t;
  quellor::testing::trees::Wide(t, 300);
  Owner o;
  o.Start({"hit*", "f*"}, {t.Root(), t.Root(), t.Root()});
  o.Start({"hit*", "f*"}, {t.Root(), t.Root(), t.Root()});  // the first run may still be ending
  o.engine.StopAll();
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!o.engine.Idle() && std::chrono::steady_clock::now() < give_up) {
    o.engine.DeliverPending(o.display);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_TRUE(o.engine.Idle());
  EXPECT_FALSE(o.engine.Running());
  o.engine.StopAndWait();
  // Once idle, what was found is delivered once, and nothing follows it.
  o.engine.DeliverPending(o.display);
  const int rows = o.display.rows.Count();
  const std::size_t statuses = o.display.statuses.size();
  o.engine.DeliverPending(o.display);
  EXPECT_EQ(o.display.rows.Count(), rows);
  EXPECT_EQ(o.display.statuses.size(), statuses);
}

#ifndef _WIN32
// Each folder that could not be read is counted once, however often the walk
// reached it (here one past the path limit, which no user, root included, can
// read): f0 twice, its chain once.
TEST(SearchEngine, AnEndCountsTheFoldersThatCouldNotBeRead) {
  TempTree t;
  quellor::testing::trees::Wide(t, 3);
  ASSERT_NE(t.FolderChain("f0", platform::MaxPathLength()), "");
  for (const NameKind kind : {NameKind::Files, NameKind::Folders}) {
    Owner o;
    o.Start({"hit*"}, {t.Root(), t.Path("f0")}, kind);
    o.Finish();
    ASSERT_FALSE(o.display.statuses.empty());
    const Shown& end = o.display.statuses.back();
    EXPECT_EQ(end.stage, kind == NameKind::Files ? RunStatus::Stage::FileRunEnded : RunStatus::Stage::FolderRunEnded);
    EXPECT_EQ(end.rows, kind == NameKind::Files ? 4 : 0);
    EXPECT_EQ(end.folders_not_read, 1u);
  }
}
#endif

// Slow at its first row, so that the owner is already waiting while the run goes on.
class SlowStartSink : public RecordingSink {
 public:
  using RecordingSink::RecordingSink;
  void AddResultRow(std::string_view path, platform::PathKind kind, std::size_t keyword,
                    const platform::EntryFacts& facts) override {
    if (got.rows.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    RecordingSink::AddResultRow(path, kind, keyword, facts);
  }
};

TEST(SearchEngineTap, GetsEveryReportInOrderWhileTheOwnerWaitsAndLeavesNothingToDeliver) {
  TempTree t;
  quellor::testing::trees::Wide(t, 200);
  const RunRequest request{{"hit1", "hit2"}, {t.Root(), t.Root()}, NameKind::Files};
  std::atomic<bool> never{false};
  const std::atomic<MatchMode> fuzzy{MatchMode::Fuzzy};
  RecordingSink direct(2, never);
  SearchRun(request, kSettings, direct, never, fuzzy).Run();
  ASSERT_EQ(direct.got.rows.size(), 2u * (111 + 11));

  Owner o;
  o.engine.SetMatchMode(MatchMode::Fuzzy);
  SlowStartSink tap(2, never);
  o.engine.Start(request, kSettings, &tap);
  o.engine.WaitForEnd();  // a wait, not a stop: the second root is searched too
  EXPECT_FALSE(o.engine.Running());
  EXPECT_EQ(tap.got, direct.got);

  EXPECT_FALSE(o.engine.DeliverPending(o.display));
  EXPECT_EQ(o.display.rows.Count(), 0);
  EXPECT_TRUE(o.display.statuses.empty());
  EXPECT_EQ(o.wakes, 0);
  o.engine.WaitForEnd();  // no run going: returns at once
}

// A source that reads no volume: it tells of its progress, then has the root walked.
class WalkingSource : public VolumeIndexSource {
 public:
  VolumeIndexAnswer IndexOf(const std::string&, const std::function<void(int)>& progress,
                            const std::atomic<bool>&) override {
    for (int percent : {0, 50}) {
      std::this_thread::sleep_for(std::chrono::milliseconds(40));  // past the batching delay: each is handed over
      progress(percent);
    }
    return {nullptr, WalkReason::ReadFailed};
  }
};

class StatusDisplay : public RecordingDisplay {
 public:
  void ShowStatus(const RunStatus& s) override {
    RecordingDisplay::ShowStatus(s);
    if (s.stage == RunStatus::Stage::VolumeBeingRead) read.emplace_back(std::string(s.root), s.percent);
    walked.assign(s.walked.begin(), s.walked.end());
  }
  std::vector<std::pair<std::string, int>> read;
  std::vector<WalkedRoot> walked;
};

// The window hears how far each root's table is read, and at the end which
// roots were walked instead and why; the walk finds what it always did.
TEST(SearchEngine, AVolumeReadIsShownAndARootWalkedInsteadIsNamedAtTheEnd) {
  TempTree t;
  quellor::testing::trees::Wide(t, 20);
  Owner o;
  StatusDisplay display;
  RunRequest request{{"hit*"}, {t.Root()}};
  request.index_source = std::make_shared<WalkingSource>();
  o.engine.SetMatchMode(MatchMode::Fuzzy);
  o.engine.Start(std::move(request), kSettings);
  while (o.engine.Running()) {
    o.engine.DeliverPending(display);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  o.engine.DeliverPending(display);
  // The latest report is shown; one may be replaced by the next before the owner came for it.
  ASSERT_FALSE(display.read.empty());
  for (const auto& [root, percent] : display.read) {
    EXPECT_EQ(root, t.Root());
    EXPECT_TRUE(percent == 0 || percent == 50) << percent;
  }
  ASSERT_EQ(display.walked.size(), 1u);
  EXPECT_EQ(display.walked[0].root, t.Root());
  EXPECT_EQ(display.walked[0].reason, WalkReason::ReadFailed);
  ASSERT_FALSE(display.statuses.empty());
  EXPECT_EQ(display.statuses.back().stage, RunStatus::Stage::FileRunEnded);
  EXPECT_EQ(display.statuses.back().rows, 20);
}

TEST(ProgressNumber, FollowsTheRuntimesGeneratorSeededWithTheTick) {
  // The C runtime's first rand() after srand(1) is 41.
  EXPECT_EQ(ProgressNumber(1), 42);
  for (std::uint32_t tick : {0u, 7u, 123456789u, 0xFFFFFFFFu}) {
    EXPECT_GE(ProgressNumber(tick), 1);
    EXPECT_LE(ProgressNumber(tick), 5000);
  }
}

}  // namespace
}  // namespace quellor::search
