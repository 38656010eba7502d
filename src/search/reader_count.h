// How many threads read folders ahead of a walk: the listing times of the
// walk so far, and the policy that turns them into a number of readers.
//
// The policy (Decide) is a pure function of the recorded times, so it is
// tested without threads; the numbers it uses are together in
// reader_count.cpp.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/folder_listing.h"

namespace quellor::search {

// The sums over the listings that were timed.
struct ListingTimes {
  std::uint64_t samples = 0;  // listings timed
  std::uint64_t blocked = 0;  // of them, those that waited for something
  // From start to end; a listing that never blocked counts its CPU time
  // here, since it was slow only for want of a processor.
  std::uint64_t wall_ns = 0;
  std::uint64_t cpu_ns = 0;  // the reading thread busy
};

class ReaderCount {
 public:
  // `cores`: processors of this machine (at least one).
  ReaderCount(unsigned cores, unsigned min_readers, unsigned max_readers)
      : cores_(cores), min_readers_(min_readers), max_readers_(max_readers) {}

  // Reads `path`, timing a sample of the calls. `reads` counts the calling
  // thread's reads. Any thread may call it.
  void TimedRead(const platform::FolderReader& reader, const std::string& path, platform::FolderListing& listing,
                 std::uint32_t& reads);

  // The readers the times recorded so far call for.
  unsigned Wanted() const { return Decide(Recorded(), cores_, min_readers_, max_readers_); }

  // The policy: readers wanted after `times` on `cores` processors, within
  // [min_readers, max_readers] (min_readers wins when they cross).
  static unsigned Decide(const ListingTimes& times, unsigned cores, unsigned min_readers, unsigned max_readers);

 private:
  void Record(std::uint64_t wall_ns, std::uint64_t cpu_ns, bool blocked);
  // Each sum read on its own: a sample added meanwhile shifts them by one.
  ListingTimes Recorded() const;

  const unsigned cores_, min_readers_, max_readers_;
  // Added to by every reading thread, without a lock.
  std::atomic<std::uint64_t> wall_ns_{0}, cpu_ns_{0}, samples_{0}, blocked_{0};
};

}  // namespace quellor::search
