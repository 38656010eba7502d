// How many readers the listing times call for, on a few machines and shares.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "search/reader_count.h"

namespace quellor::search {
namespace {

constexpr std::uint64_t ms = 1000000;

TEST(ReaderCountTest, ListingTimesAndThePlanBeforeDecideTheNextPlan) {
  struct Case {
    const char* what;
    ReaderBounds bounds;  // cores, min_readers, max_readers
    ReaderPlan plan;      // readers, grew, fewer, fewer_ns, rest, careful
    ListingTimes times;   // samples, blocked, wall, cpu
    std::optional<ReaderPlan> next;
  };
  const ReaderPlan start{1};
  const Case cases[] = {
      {"too few listings to judge, however long they waited", {2, 0, 64}, start, {3, 3, 90 * ms, 0}, std::nullopt},
      {"32 readers are judged on 16 listings", {2, 0, 64}, {32, true, 16, 30 * ms}, {15, 15, 450 * ms, 0},
       std::nullopt},
      {"busy all along: one core left to the walk", {8, 0, 64}, {7}, {100, 0, 100 * ms, 100 * ms}, ReaderPlan{7}},
      {"blocked now and then is not waiting", {2, 0, 64}, start, {100, 74, 1000 * ms, 10 * ms}, start},
      {"blocked, but not twice as long as busy", {2, 0, 64}, start, {100, 100, 199 * ms, 100 * ms}, start},
      {"waiting: the readers grow fourfold", {2, 0, 64}, start, {4, 4, 120 * ms, 0}, ReaderPlan{4, true, 1, 30 * ms}},
      {"waiting, three in four blocked, twice as long as busy", {2, 0, 64}, start, {4, 3, 8 * ms, 4 * ms},
       ReaderPlan{4, true, 1, 2 * ms}},
      {"a growth that kept the listing time grows again", {2, 0, 64}, {4, true, 1, 30 * ms}, {4, 4, 120 * ms, 0},
       ReaderPlan{16, true, 4, 30 * ms}},
      {"a growth whose listings took twice as long is undone; the count rests, then grows by twos", {2, 0, 64},
       {64, true, 32, 30 * ms}, {32, 32, 32 * 60 * ms, 0}, ReaderPlan{32, false, 0, 0, 8, true}},
      {"with the walk reading too, 1 to 2 readers pays up to 1.2 x the time", {2, 0, 64},
       {2, true, 1, 30 * ms, 0, true}, {4, 4, 4 * 37 * ms, 0}, ReaderPlan{1, false, 0, 0, 8, true}},
      {"resting: the count stays while listings wait", {2, 0, 64}, {32, false, 0, 0, 3, true}, {16, 16, 480 * ms, 0},
       ReaderPlan{32, false, 0, 0, 2, true}},
      {"after its rest the count doubles", {2, 0, 64}, {32, false, 0, 0, 0, true}, {16, 16, 480 * ms, 0},
       ReaderPlan{64, true, 32, 30 * ms, 0, true}},
      {"listings that stop waiting bring it back to the start", {2, 0, 64}, {32, false, 0, 0, 3, true},
       {16, 0, 16 * ms, 16 * ms}, start},
      {"the ceiling, once the growth there paid, stays", {2, 0, 64}, {64, true, 16, 30 * ms},
       {32, 32, 32 * 30 * ms, 0}, ReaderPlan{64}},
      {"growth stops at the ceiling", {2, 0, 40}, {16, true, 4, 30 * ms}, {16, 16, 16 * 30 * ms, 0},
       ReaderPlan{40, true, 16, 30 * ms}},
      {"one core: the walk alone, then one reader for waiting listings", {1, 0, 64}, {0}, {4, 4, 40 * ms, 0},
       ReaderPlan{1, true, 0, 10 * ms}},
      {"min_readers above max_readers wins", {8, 12, 4}, {12}, {8, 8, 80 * ms, 0}, ReaderPlan{12}},
      {"no readers allowed", {8, 0, 0}, {0}, {8, 8, 80 * ms, 0}, ReaderPlan{0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReaderCount::Decide(c.times, c.plan, c.bounds), c.next) << c.what;
  }
  EXPECT_EQ(ReaderCount::Start({2, 0, 64}).readers, 1u);
  EXPECT_EQ(ReaderCount::Start({1, 12, 16}).readers, 12u);
}

// A share whose server serves `window` listings at once, each in `latency`
// (past the window they queue), walked by the readers and the walk itself;
// the clock is the listings' own times, so nothing here waits.
std::vector<unsigned> CountsOverAWalk(const ReaderBounds& bounds, std::uint64_t latency, unsigned window,
                                      int decisions) {
  ReaderPlan plan = ReaderCount::Start(bounds);
  std::vector<unsigned> counts{plan.readers};
  for (int i = 0; i < decisions; ++i) {
    const std::uint64_t at_once = plan.readers + 1;
    const std::uint64_t listing = latency * std::max<std::uint64_t>(window, at_once) / window;
    const std::uint64_t samples = std::max<std::uint64_t>(4, at_once);
    const std::optional<ReaderPlan> next =
        ReaderCount::Decide(ListingTimes{samples, samples, samples * listing, samples * 50000}, plan, bounds);
    if (next) plan = *next;
    counts.push_back(plan.readers);
  }
  return counts;
}

TEST(ReaderCountTest, BlockingListingsGrowTheReadersUntilTheShareQueuesThemOrTheCeiling) {
  const ReaderBounds two_cores{2, 0, 64};
  EXPECT_EQ(CountsOverAWalk(two_cores, 30 * ms, 64, 6), (std::vector<unsigned>{1, 4, 16, 64, 64, 64, 64}));
  // Past a window of 16, more readers only queue there: undone, and tried again after a rest.
  EXPECT_EQ(CountsOverAWalk(two_cores, 10 * ms, 16, 14),
            (std::vector<unsigned>{1, 4, 16, 64, 16, 16, 16, 16, 16, 16, 16, 16, 16, 32, 16}));
  EXPECT_EQ(CountsOverAWalk({8, 0, 64}, 2 * ms, 1000, 3), (std::vector<unsigned>{7, 28, 64, 64}));
}

TEST(ReaderCountTest, FastListingsBringTheReadersBackAndSlowOnesGrowThemAgain) {
  const ReaderBounds bounds{2, 0, 64};
  ReaderPlan plan = ReaderCount::Start(bounds);
  const ListingTimes waiting{32, 32, 32 * 30 * ms, 0}, busy{32, 1, 32 * ms / 10, 32 * ms / 10};
  for (int i = 0; i < 8; ++i) plan = ReaderCount::Decide(waiting, plan, bounds).value();
  EXPECT_EQ(plan.readers, 64u);
  EXPECT_EQ(ReaderCount::Decide(waiting, plan, bounds).value(), plan) << "the ceiling";
  plan = ReaderCount::Decide(busy, plan, bounds).value();
  EXPECT_EQ(plan, ReaderCount::Start(bounds));
  plan = ReaderCount::Decide(waiting, plan, bounds).value();
  EXPECT_EQ(plan.readers, 4u);
}

}  // namespace
}  // namespace quellor::search
