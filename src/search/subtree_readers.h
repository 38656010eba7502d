// Threads that read folders a depth-first walk will enter later, so the
// reading of several folders overlaps while the walk still takes every
// listing in its own order.
//
// The parts, and who owns each:
// - The walk: the thread that calls FolderWalk::Walk. It owns this object
//   (makes it, calls its public methods, destroys it) and the reader threads.
// - The readers: threads started by Adjust, each looping in ReaderLoop with a
//   folder reader of its own. The destructor ends and joins them.
// - A job (SubtreeJob, in subtree_readers.cpp): a run of folders in the walk's
//   order (consecutive subfolders of one folder), shared by the walk and at
//   most one reader. Its reader reads each folder and everything below it in
//   pre-order, subfolders in listing order, exactly as the walk enters them,
//   and queues the listings under the job's mutex; the walk takes them in
//   that order with Next. Its life is one Stage value.
// - The shared pool: the jobs waiting for a reader and those being read, and
//   the counts beside them, under `mutex_`.
// - The reader count (reader_count.h): the listing times and the policy that
//   sets how many readers run.
//
// How it works:
// - Hand-over costs no wake-up: the reader appends under the job's lock and
//   wakes the walk only when it waits; the walk takes all queued listings at
//   once. At most `capacity` listings wait in a job, which bounds the memory.
// - The walk never waits behind a reader for more than the one folder being
//   read: a walk that catches up with a job takes its unread folders back and
//   reads them itself, or hands them on to free readers (AssignReturned).
// - A free reader takes the far half of the unread folders of the busiest
//   job. That job then yields a "delegated" step at each of them, and the walk
//   takes their listings from the new job.
// - How many readers run follows the listing times (Adjust, reader_count.h):
//   listings whose time is mostly waiting (a share, a cold disk) grow the
//   readers while that pays, up to `max_readers`; listings that keep the CPU
//   busy all along, one reader fewer than cores.
//
// Locks: `mutex_` is taken before a job's mutex, and a thread holds at most
// one job's mutex at a time.
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
#include "platform/small_stack_thread.h"
#include "search/folder_source.h"
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
  // A share serves some tens of requests at once (its request window), and
  // at tens of milliseconds per listing it takes that many readers to keep
  // the window full; more would only queue there. Each reader reserves
  // 256 KiB of stack (platform/small_stack_thread.h): 64 take 16 MiB.
  unsigned max_readers = 64;
  std::size_t capacity = 1024;  // listings waiting per job
};

// Every public method is the walk's.
class SubtreeReaders {
 public:
  using JoinPath = std::function<std::string(std::string_view folder, std::string_view name)>;

  // Readers are started by Adjust; each reads with a ReadFolder of its own
  // that `open` makes for the walk's `root`.
  SubtreeReaders(const std::string& root, JoinPath join, const ReaderLimits& limits, OpenFolders open);
  ~SubtreeReaders();  // ends the readers and waits for them
  SubtreeReaders(const SubtreeReaders&) = delete;
  SubtreeReaders& operator=(const SubtreeReaders&) = delete;

  // Reads `path`, recording (for a sample of the calls) the listing time for
  // Adjust. `tally` counts the calling thread's reads.
  void TimedRead(const ReadFolder& read, const std::string& path, platform::FolderListing& listing,
                 ReadTally& tally) {
    count_.TimedRead(read, path, listing, tally);
  }
  // Starts readers up to what the recorded listing times call for. Cheap
  // unless enough listings were timed to decide again.
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
  // True when the walk took `job`'s unread folders back and two or more of
  // them are neither read nor handed on.
  static bool Returned(const SubtreeJob& job);

  struct Step {
    enum Kind { Listing, Delegated, ReadItself } kind;
    SubtreeJobPtr job;  // Delegated: the job that reads this folder and its subtree
  };
  // What gives the walk the job's next folder: its listing (in `listing`),
  // another job, or the walk's own reading.
  Step Next(SubtreeJob& job, platform::FolderListing& listing);

 private:
  void ReaderLoop(unsigned index);  // a reader thread
  void ReadJob(const ReadFolder& read, SubtreeJob& job, ReadTally& tally);  // a reader
  SubtreeJobPtr Steal();  // a reader, with mutex_ held
  void TakeQueued(SubtreeJob& job);  // the walk
  SubtreeJobPtr Open(std::vector<PendingFolder> folders);  // with mutex_ held
  // How many jobs may be open, and how many listings each may hold; any thread.
  std::size_t OpenJobsBound() const;
  std::size_t JobCapacity() const;

  // Set by the constructor, then only read, by any thread.
  std::string root_;
  JoinPath join_;
  ReaderLimits limits_;
  OpenFolders open_;
  // Every reading thread adds its times, the walk decides.
  ReaderCount count_;
  unsigned first_readers_;  // the count a walk starts with, and falls back to on fast listings

  // The shared pool, guarded by mutex_.
  std::mutex mutex_;
  std::condition_variable idle_wake_;     // readers with no job, or beyond the number wanted
  std::deque<SubtreeJobPtr> unassigned_;  // jobs no reader took yet, oldest first
  std::vector<SubtreeJobPtr> running_;    // jobs a reader took (readers, and the destructor)

  // Atomic, each written where said. Read without mutex_ they are hints:
  // what depends on them is checked again under mutex_. A change to wanted_
  // (up) or ending_ is followed by a wake-up under mutex_ (ending_: under each
  // running job's mutex too), so no waiting reader misses it.
  std::atomic<unsigned> wanted_{0};        // readers to run; the walk (Adjust)
  std::atomic<unsigned> idle_{0};          // readers waiting for a job; readers, under mutex_
  std::atomic<unsigned> waiting_jobs_{0};  // unassigned_.size(); under mutex_
  std::atomic<unsigned> open_jobs_{0};     // jobs not drained; +1 under mutex_ (Open), -1 by the walk (Next)
  std::atomic<bool> ending_{false};        // the destructor, under mutex_
  std::atomic<bool> walk_has_work_{false};  // the walk

  // The walk alone (Adjust, the destructor).
  std::vector<std::unique_ptr<platform::SmallStackThread>> threads_;
};

}  // namespace quellor::search
