// How many threads read folders ahead of a walk: the listing times of the
// walk so far, and the policy that turns them into a number of readers.
//
// The policy (Decide) is a pure function of the times recorded since the last
// decision and of what it decided before, so it is tested without threads;
// the numbers it uses are together in reader_count.cpp.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "platform/folder_listing.h"
#include "search/folder_source.h"

namespace quellor::search {

// The sums over the listings timed since the last decision.
struct ListingTimes {
  std::uint64_t samples = 0;  // listings timed
  std::uint64_t blocked = 0;  // of them, those that waited for something
  // From start to end; a listing that never blocked counts its CPU time
  // here, since it was slow only for want of a processor.
  std::uint64_t wall_ns = 0;
  std::uint64_t cpu_ns = 0;  // the reading thread busy
};

// What the policy decided, and what it keeps for the next decision.
struct ReaderPlan {
  unsigned readers = 0;
  // Set after the count grew, until that is judged: the readers before and
  // their mean listing time.
  bool grew = false;
  unsigned fewer = 0;
  std::uint64_t fewer_ns = 0;
  // Decisions to wait before growing again, after a growth that did not pay:
  // a share that queued the listings then may not later.
  unsigned rest = 0;
  // A growth did not pay once: from then on the count grows by twos, not fours.
  bool careful = false;

  friend bool operator==(const ReaderPlan&, const ReaderPlan&) = default;
};

// The machine and the limits a policy works within.
struct ReaderBounds {
  unsigned cores = 1;  // processors of this machine (at least one)
  unsigned min_readers = 0;
  unsigned max_readers = 0;  // min_readers wins when they cross
};

// One thread's reads, for the choice of which ones to time.
struct ReadTally {
  std::uint32_t reads = 0;
  bool last_was_slow = false;  // the last timed listing took long beside the cost of timing it
};

class ReaderCount {
 public:
  explicit ReaderCount(const ReaderBounds& bounds);

  // Reads `path`, timing a sample of the calls. Any thread may call it.
  void TimedRead(const ReadFolder& read, const std::string& path, platform::FolderListing& listing, ReadTally& tally);

  // The readers wanted now: decides again once enough listings were timed
  // since the last decision. One thread (the walk's) calls it.
  unsigned Update();

  // The policy: the plan after `plan` once `times` were recorded with
  // plan.readers readers; nothing while they are too few to tell.
  static std::optional<ReaderPlan> Decide(const ListingTimes& times, const ReaderPlan& plan,
                                           const ReaderBounds& bounds);
  // Where a walk starts, and where it falls back to when listings are fast.
  static ReaderPlan Start(const ReaderBounds& bounds);

 private:
  void Record(std::uint32_t decision, std::uint64_t wall_ns, std::uint64_t cpu_ns, bool blocked);

  const ReaderBounds bounds_;
  std::mutex mutex_;
  // Guarded by mutex_: the times of the listings begun since the last decision.
  ListingTimes times_;
  ReaderPlan plan_;  // the walk's alone
  // Written under mutex_; read without it, they only tell whether to look.
  std::atomic<std::uint32_t> decision_{0};  // decisions so far: a listing begun before the last one is not counted
  std::atomic<std::uint64_t> samples_{0};   // times_.samples
  std::atomic<std::uint64_t> needed_{0};    // samples the next decision needs
};

}  // namespace quellor::search
