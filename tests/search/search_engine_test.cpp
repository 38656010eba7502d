// The engine's entry for an owner without a window, as quellor-find uses it:
// a run whose reports go to a sink of the owner's, and a wait for its end.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/system_charset.h"
#include "search/recording_sink.h"
#include "search/search_engine.h"
#include "support/temp_tree.h"

namespace quellor::search {
namespace {

using testing::RecordingSink;

// Slow at its first row, so that the owner is already waiting while the run goes on.
class SlowStartSink : public RecordingSink {
 public:
  using RecordingSink::RecordingSink;
  void AddResultRow(std::string_view path, platform::PathKind kind, std::size_t keyword) override {
    if (got.rows.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    RecordingSink::AddResultRow(path, kind, keyword);
  }
};

class CountingDisplay : public RunDisplay {
 public:
  void AppendRows(const ResultRows&, int first, int end) override { rows += end - first; }
  void ShowAppendedRows() override {}
  int RowCount() const override { return rows; }
  void ShowStatus(const RunStatus&) override { ++statuses; }
  int rows = 0;
  int statuses = 0;
};

TEST(SearchEngineTap, GetsEveryReportInOrderWhileTheOwnerWaitsAndLeavesNothingToDeliver) {
  quellor::testing::TempTree t;
  for (int i = 0; i < 200; ++i) t.File("f" + std::to_string(i) + "/hit" + std::to_string(i) + ".txt");
  const RunRequest request{{"hit1", "hit2"}, {t.Root(), t.Root()}, NameKind::Files};
  const RunSettings settings = PlatformRunSettings(platform::NameCharset());
  std::atomic<bool> never{false};
  const std::atomic<MatchMode> fuzzy{MatchMode::Fuzzy};
  RecordingSink direct(2, never);
  SearchRun(request, settings, direct, never, fuzzy).Run();
  ASSERT_EQ(direct.got.rows.size(), 2u * (111 + 11));

  std::atomic<int> wakes{0};
  SearchEngine engine([&wakes] { ++wakes; }, Batching{1024, std::chrono::milliseconds(30)});
  engine.SetMatchMode(MatchMode::Fuzzy);
  SlowStartSink tap(2, never);
  engine.Start(request, settings, &tap);
  engine.WaitForEnd();  // a wait, not a stop: the second root is searched too
  EXPECT_FALSE(engine.Running());
  EXPECT_EQ(tap.got, direct.got);

  CountingDisplay display;
  EXPECT_FALSE(engine.DeliverPending(display));
  EXPECT_EQ(display.rows, 0);
  EXPECT_EQ(display.statuses, 0);
  EXPECT_EQ(wakes, 0);
  engine.WaitForEnd();  // no run going: returns at once
}

}  // namespace
}  // namespace quellor::search
