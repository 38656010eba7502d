#include "search/reader_count.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "platform/thread_time.h"

namespace quellor::search {

namespace {

// Fewer timed listings than this tell too little to go beyond the cores.
constexpr std::uint64_t kSamplesToJudge = 16;
// Listings whose time is at least this many times their CPU time mostly wait.
constexpr double kWaitingFactor = 2.0;
// Never more readers than this, whatever the waiting.
constexpr double kMostReaders = 64.0;

}  // namespace

void ReaderCount::Record(std::uint64_t wall_ns, std::uint64_t cpu_ns, bool blocked) {
  if (blocked) blocked_.fetch_add(1, std::memory_order_relaxed);
  wall_ns_.fetch_add(wall_ns, std::memory_order_relaxed);
  cpu_ns_.fetch_add(cpu_ns, std::memory_order_relaxed);
  samples_.fetch_add(1, std::memory_order_relaxed);
}

ListingTimes ReaderCount::Recorded() const {
  ListingTimes times;
  times.samples = samples_.load(std::memory_order_relaxed);
  times.blocked = blocked_.load(std::memory_order_relaxed);
  times.wall_ns = wall_ns_.load(std::memory_order_relaxed);
  times.cpu_ns = cpu_ns_.load(std::memory_order_relaxed);
  return times;
}

void ReaderCount::TimedRead(const platform::FolderReader& reader, const std::string& path,
                            platform::FolderListing& listing, std::uint32_t& reads) {
  // The CPU clock is a system call: a sample of the listings tells enough.
  const bool sample = reads < 8 || reads % 16 == 0;
  ++reads;
  if (!sample) {
    reader.Read(path, listing);
    return;
  }
  const auto start = std::chrono::steady_clock::now();
  const platform::ThreadUsage before = platform::CurrentThreadUsage();
  reader.Read(path, listing);
  const platform::ThreadUsage after = platform::CurrentThreadUsage();
  const auto wall = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start);
  const std::uint64_t cpu = after.cpu_ns - before.cpu_ns;
  // A listing that never blocked was slow only for want of a processor.
  const bool blocked = !after.counts_waits || after.waits != before.waits;
  Record(blocked ? static_cast<std::uint64_t>(wall.count()) : cpu, cpu, blocked);
}

// Listings that mostly wait (most of them block, and for longer than they
// work) call for readers beyond the cores: while one waits, the others' waits
// overlap it. A listing that blocks now and then does not: on a busy machine
// that is other programs' doing. Otherwise one core is left to the walk.
unsigned ReaderCount::Decide(const ListingTimes& times, unsigned cores, unsigned min_readers, unsigned max_readers) {
  unsigned want = cores > 1 ? cores - 1 : 0;
  // Three in four timed listings blocked.
  if (times.samples >= kSamplesToJudge && times.blocked * 4 >= times.samples * 3) {
    const double wall = static_cast<double>(times.wall_ns);
    // Windows counts thread time in ticks: a share of zero means all waiting.
    const double cpu = std::max(1.0, static_cast<double>(times.cpu_ns));
    const double waiting = wall / cpu;
    if (waiting >= kWaitingFactor) {
      want = std::max(want, static_cast<unsigned>(std::min(kMostReaders, std::ceil(waiting * cores))) - 1);
    }
  }
  return std::clamp(want, min_readers, std::max(min_readers, max_readers));
}

}  // namespace quellor::search
