// How many readers the listing times call for, on a few machines.
#include <gtest/gtest.h>

#include "search/reader_count.h"

namespace quellor::search {
namespace {

TEST(ReaderCountTest, ListingTimesDecideTheReaders) {
  constexpr std::uint64_t ms = 1000000;
  struct Case {
    const char* what;
    ListingTimes times;  // samples, blocked, wall, cpu
    unsigned cores, min_readers, max_readers, wanted;
  };
  const Case cases[] = {
      {"nothing timed yet", {0, 0, 0, 0}, 4, 0, 16, 3},
      {"too few samples, however long they waited", {15, 15, 1500 * ms, 15 * ms}, 4, 0, 16, 3},
      {"busy all along", {100, 0, 100 * ms, 100 * ms}, 8, 0, 16, 7},
      {"blocked now and then", {100, 74, 1000 * ms, 10 * ms}, 2, 0, 16, 1},
      {"mostly blocked, but not twice as long as busy", {100, 100, 199 * ms, 100 * ms}, 2, 0, 16, 1},
      {"mostly blocked, waiting 2x", {100, 75, 200 * ms, 100 * ms}, 2, 0, 16, 3},
      {"mostly blocked, waiting 10x", {100, 100, 1000 * ms, 100 * ms}, 2, 0, 64, 19},
      {"waiting 10x, clamped by max_readers", {100, 100, 1000 * ms, 100 * ms}, 2, 0, 16, 16},
      {"no CPU time counted: all waiting, at most 64 less one", {16, 16, 5 * ms, 0}, 4, 0, 100, 63},
      {"one core: no reader", {0, 0, 0, 0}, 1, 0, 16, 0},
      {"one core, raised to min_readers", {0, 0, 0, 0}, 1, 12, 16, 12},
      {"min_readers above max_readers wins", {100, 100, 1000 * ms, 100 * ms}, 8, 12, 4, 12},
      {"no readers allowed", {100, 100, 1000 * ms, 100 * ms}, 8, 0, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReaderCount::Decide(c.times, c.cores, c.min_readers, c.max_readers), c.wanted) << c.what;
  }
}

}  // namespace
}  // namespace quellor::search
