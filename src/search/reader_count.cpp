#include "search/reader_count.h"

#include <algorithm>
#include <chrono>

#include "platform/thread_time.h"

namespace quellor::search {

namespace {

// Fewer timed listings than this tell too little to decide anything.
constexpr std::uint64_t kSamplesToJudge = 4;
// Listings whose time is at least this many times their CPU time mostly wait.
constexpr std::uint64_t kWaitingFactor = 2;
// Decisions a count rests at after a growth that did not pay, before it tries again.
constexpr unsigned kRestAfterUnpaid = 8;
// Timing a listing costs about a microsecond (two clock system calls): beside
// a listing of half a millisecond that is nothing, so each is timed.
constexpr auto kSlowListing = std::chrono::microseconds(500);

// Judging a count of readers takes a listing from about half of them.
std::uint64_t SamplesToJudge(const ReaderPlan& plan) {
  return std::max<std::uint64_t>(kSamplesToJudge, plan.readers / 2);
}

unsigned MostReaders(const ReaderBounds& bounds) { return std::max(bounds.min_readers, bounds.max_readers); }

}  // namespace

ReaderCount::ReaderCount(const ReaderBounds& bounds) : bounds_(bounds), plan_(Start(bounds)) {
  needed_ = SamplesToJudge(plan_);
}

void ReaderCount::Record(std::uint32_t decision, std::uint64_t wall_ns, std::uint64_t cpu_ns, bool blocked) {
  std::lock_guard<std::mutex> hold(mutex_);
  // Read with another count of readers than the one being judged.
  if (decision != decision_.load(std::memory_order_relaxed)) return;
  ++times_.samples;
  if (blocked) ++times_.blocked;
  times_.wall_ns += wall_ns;
  times_.cpu_ns += cpu_ns;
  samples_.store(times_.samples, std::memory_order_relaxed);
}

void ReaderCount::TimedRead(const ReadFolder& read, const std::string& path, platform::FolderListing& listing,
                            ReadTally& tally) {
  // The CPU clock is a system call: a sample of fast listings tells enough.
  const bool sample = tally.reads < 8 || tally.reads % 16 == 0 || tally.last_was_slow;
  ++tally.reads;
  if (!sample) {
    read(path, listing);
    return;
  }
  const std::uint32_t decision = decision_.load(std::memory_order_relaxed);
  const auto start = std::chrono::steady_clock::now();
  const platform::ThreadUsage before = platform::CurrentThreadUsage();
  read(path, listing);
  const platform::ThreadUsage after = platform::CurrentThreadUsage();
  const auto wall = std::chrono::steady_clock::now() - start;
  tally.last_was_slow = wall >= kSlowListing;
  const std::uint64_t cpu = after.cpu_ns - before.cpu_ns;
  // A listing that never blocked was slow only for want of a processor.
  const bool blocked = !after.counts_waits || after.waits != before.waits;
  const auto wall_ns = static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(wall).count());
  Record(decision, blocked ? wall_ns : cpu, cpu, blocked);
}

unsigned ReaderCount::Update() {
  if (samples_.load(std::memory_order_relaxed) < needed_.load(std::memory_order_relaxed)) return plan_.readers;
  std::lock_guard<std::mutex> hold(mutex_);
  if (const std::optional<ReaderPlan> next = Decide(times_, plan_, bounds_)) {
    plan_ = *next;
    times_ = ListingTimes{};
    samples_.store(0, std::memory_order_relaxed);
    needed_.store(SamplesToJudge(plan_), std::memory_order_relaxed);
    decision_.fetch_add(1, std::memory_order_relaxed);
  }
  return plan_.readers;
}

// One core is left to the walk.
ReaderPlan ReaderCount::Start(const ReaderBounds& bounds) {
  ReaderPlan plan;
  plan.readers = std::clamp(bounds.cores > 1 ? bounds.cores - 1 : 0u, bounds.min_readers, MostReaders(bounds));
  return plan;
}

// Listings that mostly wait (most of them block, and for longer than they
// work) call for more readers: while one waits, the others' waits overlap it.
// The count grows fourfold while that pays, that is while the listings keep
// their time as more of them run at once; a growth that did not pay is
// undone, and tried again after a rest (the listings of a moment may mislead)
// by doubling only. A listing that blocks now and then does not count as
// waiting: on a busy machine that is other programs' doing. Listings that
// stop waiting bring the count back to where it started.
std::optional<ReaderPlan> ReaderCount::Decide(const ListingTimes& times, const ReaderPlan& plan,
                                              const ReaderBounds& bounds) {
  if (times.samples < SamplesToJudge(plan)) return std::nullopt;
  // Three in four timed listings blocked. Windows counts thread time in
  // ticks: a share of zero means all waiting.
  const bool waiting = times.blocked * 4 >= times.samples * 3 &&
                       times.wall_ns >= kWaitingFactor * std::max<std::uint64_t>(1, times.cpu_ns);
  if (!waiting) return Start(bounds);
  const std::uint64_t mean_ns = times.wall_ns / times.samples;
  ReaderPlan next;
  next.careful = plan.careful;
  if (plan.grew) {
    // It paid when the added readers bring at least half the listings per
    // second they would if every listing kept its time. With a listings at
    // once before and b now (the walk reads too), that is when the listing
    // time grew by no more than 2b / (a + b): a third for a doubling.
    const std::uint64_t a = plan.fewer + 1, b = plan.readers + 1;
    const bool paid = mean_ns * (a + b) <= plan.fewer_ns * 2 * b;
    if (!paid) {
      next.readers = plan.fewer;
      next.rest = kRestAfterUnpaid;
      next.careful = true;
      return next;
    }
  }
  next.readers = plan.readers;
  const unsigned most = MostReaders(bounds);
  if (plan.rest > 0 || plan.readers >= most) {
    next.rest = plan.rest > 0 ? plan.rest - 1 : 0;
    return next;
  }
  next.readers = std::min(most, std::max(plan.readers * (plan.careful ? 2 : 4), plan.readers + 1));
  next.grew = true;
  next.fewer = plan.readers;
  next.fewer_ns = mean_ns;
  return next;
}

}  // namespace quellor::search
