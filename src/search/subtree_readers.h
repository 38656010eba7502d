// Threads that read folders a depth-first walk will enter later, so the
// reading of several folders overlaps while the walk still takes every
// listing in its own order.
//
// How it works:
// - A job is a run of folders in the walk's order (consecutive subfolders of
//   one folder). Its reader reads each of them and everything below them in
//   pre-order, subfolders in listing order, exactly as the walk enters them,
//   and queues the listings; the walk takes them in that order with Next.
// - Hand-over costs no wake-up: the reader appends under the job's lock and
//   wakes the walk only when it waits; the walk takes all queued listings at
//   once. At most `capacity` listings wait in a job, which bounds the memory.
// - The walk never waits behind a reader for more than the one folder being
//   read: a walk that catches up with a job takes its unread folders back and
//   reads them itself, or hands them on to free readers (AssignReturned).
// - A free reader takes the far half of the unread folders of the busiest
//   job. That job then yields a "delegated" step at each of them, and the walk
//   takes their listings from the new job.
// - How many readers run follows the listing times (Adjust): a listing whose
//   time is mostly waiting (a share, a cold disk) calls for more readers, up to
//   16; a listing that keeps the CPU busy all along, one reader fewer than cores.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/folder_listing.h"
#include "search/reader_count.h"

namespace quellor::search {

struct SubtreeJob;
using SubtreeJobPtr = std::shared_ptr<SubtreeJob>;

// A folder not read yet; `delegate` set when another job reads its subtree.
struct PendingFolder {
  std::string path;
  SubtreeJobPtr delegate;
};

// How much parallel reading a walk may use.
struct ReaderLimits {
  unsigned min_readers = 0;
  unsigned max_readers = 16;
  std::size_t capacity = 1024;  // listings waiting per job
};

class SubtreeReaders {
 public:
  using JoinPath = std::function<std::string(std::string_view folder, std::string_view name)>;

  // Readers are started by Adjust; each reads with a reader of its own for
  // the walk's `root`.
  SubtreeReaders(const std::string& root, JoinPath join, const ReaderLimits& limits);
  ~SubtreeReaders();  // ends the readers and waits for them
  SubtreeReaders(const SubtreeReaders&) = delete;
  SubtreeReaders& operator=(const SubtreeReaders&) = delete;

  // Reads `path`, recording (for a sample of the calls) the listing time for
  // Adjust. `reads` counts the calling thread's reads.
  void TimedRead(const platform::FolderReader& reader, const std::string& path, platform::FolderListing& listing,
                 std::uint32_t& reads) {
    count_.TimedRead(reader, path, listing, reads);
  }
  // Starts readers up to what the recorded listing times call for.
  void Adjust();

  bool ReaderFree() const;
  // Whether the walk holds folders it could hand out: while it does, free
  // readers wait for them rather than split other readers' jobs.
  void WalkHasWork(bool has);
  // Hands `folders` (the first to read last, as a stack) to a free reader:
  // the job, or null (and `folders` untouched) when no reader is free or too
  // many jobs are open.
  SubtreeJobPtr Assign(std::vector<PendingFolder>& folders);
  // A job whose folders were taken back: hands the far half of those still
  // unread (never the next one) to a free reader. Null when none was handed.
  SubtreeJobPtr AssignReturned(SubtreeJob& job);
  // True when the walk took `job`'s unread folders back.
  static bool Returned(const SubtreeJob& job);

  struct Step {
    enum Kind { Listing, Delegated, ReadItself } kind;
    SubtreeJobPtr job;  // Delegated: the job that reads this folder and its subtree
  };
  // What gives the walk the job's next folder: its listing (in `listing`),
  // another job, or the walk's own reading.
  Step Next(SubtreeJob& job, platform::FolderListing& listing);

 private:
  void ReaderLoop(unsigned index);
  void ReadJob(const platform::FolderReader& reader, SubtreeJob& job, std::uint32_t& reads);
  SubtreeJobPtr Steal();  // with mutex_ held
  void TakeQueued(SubtreeJob& job);
  SubtreeJobPtr Open(std::vector<PendingFolder> folders);  // with mutex_ held

  std::string root_;
  JoinPath join_;
  ReaderLimits limits_;
  ReaderCount count_;

  std::mutex mutex_;  // before any job's mutex
  std::condition_variable idle_wake_;
  std::deque<SubtreeJobPtr> unassigned_;
  std::vector<SubtreeJobPtr> running_;
  std::atomic<unsigned> wanted_{0};
  std::atomic<unsigned> idle_{0};
  std::atomic<unsigned> waiting_jobs_{0};  // unassigned_.size()
  std::atomic<unsigned> open_jobs_{0};
  std::atomic<bool> ending_{false};
  std::atomic<bool> walk_has_work_{false};
  std::vector<std::thread> threads_;
};

}  // namespace quellor::search
