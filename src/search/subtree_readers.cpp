#include "search/subtree_readers.h"

#include <algorithm>
#include <cassert>
#include <iterator>
#include <system_error>
#include <utility>

namespace quellor::search {

// A job's life. Each change of stage is one of these transitions:
//   Queued              -> Reading     BeginReading    its reader begins
//   Queued, Reading     -> GivingBack  AskToGiveBack   the walk caught up (a reader took it)
//   Queued              -> Finished    TakeBackUnread  the walk takes it back (no reader took it)
//   Reading, GivingBack -> Finished    EndReading      its reader leaves it
//   Finished            -> WalkHasAll  TakeAll         the walk takes its unread folders
//   WalkHasAll          -> Drained     Drain           the walk handed out its last step
// A job split off by a reader (Steal) begins in Reading.
enum class Stage {
  Queued,      // handed out, no reader has begun it (waiting in unassigned_, or just taken from there)
  Reading,     // its reader reads folder after folder
  GivingBack,  // the walk caught up and waits: the reader stops after the folder it reads
  Finished,    // no reader touches it again; its unread folders are still in `stack`
  WalkHasAll,  // the walk took those back: the rest comes from `taken` and `returned`
  Drained,     // the walk took everything: no longer an open job
};

struct QueuedStep {
  platform::FolderListing listing;
  SubtreeJobPtr delegate;
};

struct SubtreeJob {
  std::mutex mutex;
  std::condition_variable wake;  // the walk waits for a listing, the reader for room

  // Guarded by `mutex`.
  // Unread folders, the back one read next. Folders handed to other jobs
  // (delegated) lie together at the bottom.
  std::vector<PendingFolder> stack;
  std::size_t delegated_at_bottom = 0;
  std::deque<QueuedStep> queued;
  // Who sleeps on `wake` now, so the other side wakes it only then. Not
  // stages: each side sleeps and wakes many times within one stage.
  bool walk_waiting = false;
  bool reader_waiting = false;

  // The walk's alone.
  std::deque<QueuedStep> taken;
  std::vector<PendingFolder> returned;  // unread folders taken back, the back one next
  std::size_t returned_delegated = 0;

  // Changed under `mutex` (or before the job is shared), but for Drained,
  // which the walk sets alone: no one waits on the job then. Atomic because
  // the walk reads it without the lock, only to tell the stages from
  // WalkHasAll on, which no one but the walk sets, and because a reader may
  // still look at a drained job (Steal).
  Stage stage() const { return stage_.load(std::memory_order_relaxed); }
  void Become(Stage next) { stage_.store(next, std::memory_order_relaxed); }

 private:
  std::atomic<Stage> stage_{Stage::Queued};
};

namespace {

// The transitions, with the job's mutex held unless said otherwise.

// The reader begins the job, unless the walk asked for it back already.
void BeginReading(SubtreeJob& job) {
  if (job.stage() == Stage::Queued) job.Become(Stage::Reading);
}

// The walk caught up with the job's reader (or with a job a reader took but
// has not begun).
void AskToGiveBack(SubtreeJob& job) {
  assert(job.stage() <= Stage::GivingBack);
  job.Become(Stage::GivingBack);
}

// The reader leaves the job: its stack is empty, it was asked to, or the readers end.
void EndReading(SubtreeJob& job) {
  assert(job.stage() == Stage::Reading || job.stage() == Stage::GivingBack);
  job.Become(Stage::Finished);
}

// The walk took back a job no reader took (with mutex_ held as well).
void TakeBackUnread(SubtreeJob& job) {
  assert(job.stage() == Stage::Queued);
  job.Become(Stage::Finished);
}

// The walk takes the unread folders of a finished job.
void TakeAll(SubtreeJob& job) {
  assert(job.stage() == Stage::Finished);
  job.returned = std::move(job.stack);
  job.returned_delegated = job.delegated_at_bottom;
  job.stack.clear();
  job.Become(Stage::WalkHasAll);
}

// Without the job's mutex: from WalkHasAll on only the walk changes the job.
void Drain(SubtreeJob& job) {
  assert(job.stage() == Stage::WalkHasAll && job.taken.empty() && job.returned.empty());
  job.Become(Stage::Drained);
}

// Whether a free reader may split the job: the walk has not asked for it and
// no reader left it.
bool OpenToSplit(const SubtreeJob& job) {
  return job.stage() == Stage::Queued || job.stage() == Stage::Reading;
}

// Open jobs while listings are fast; times the listings a job may hold, the
// bound of what the readers keep for the walk.
ReaderBounds BoundsOf(const ReaderLimits& limits) {
  return ReaderBounds{std::max(1u, std::thread::hardware_concurrency()), limits.min_readers, limits.max_readers};
}

std::size_t UsualOpenJobs(const ReaderLimits& limits) { return 2 * std::size_t{limits.max_readers} + 8; }
// While listings wait, the walk spends a listing's wait wherever its next
// folder is late, and meanwhile the readers run far ahead: they need jobs to
// split off, many more than when listings are fast (with two per reader, a
// share took 3.5 times as long as with sixteen).
constexpr std::size_t kOpenJobsPerWaitingReader = 16;

}  // namespace

SubtreeReaders::SubtreeReaders(const std::string& root, JoinPath join, const ReaderLimits& limits, OpenFolders open)
    : root_(root),
      join_(std::move(join)),
      limits_(limits),
      open_(std::move(open)),
      count_(BoundsOf(limits)),
      first_readers_(ReaderCount::Start(BoundsOf(limits)).readers) {
  if (limits_.capacity == 0) limits_.capacity = 1;
  // Room for every reader: a thread started is never dropped for want of it.
  threads_.reserve(std::max(limits.min_readers, limits.max_readers));
}

std::size_t SubtreeReaders::OpenJobsBound() const {
  const unsigned wanted = wanted_.load(std::memory_order_relaxed);
  const std::size_t usual = UsualOpenJobs(limits_);
  return wanted > first_readers_ ? std::max(usual, kOpenJobsPerWaitingReader * wanted + 8) : usual;
}

std::size_t SubtreeReaders::JobCapacity() const {
  // More jobs hold fewer listings each: the bound stays.
  return std::max<std::size_t>(1, limits_.capacity * UsualOpenJobs(limits_) / OpenJobsBound());
}

SubtreeReaders::~SubtreeReaders() {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    ending_ = true;
    for (const SubtreeJobPtr& job : running_) {
      std::lock_guard<std::mutex> hold_job(job->mutex);
      job->wake.notify_all();
    }
  }
  idle_wake_.notify_all();
  threads_.clear();  // each waits for its thread
}

void SubtreeReaders::Adjust() {
  const unsigned want = count_.Update();
  const unsigned had = wanted_.load(std::memory_order_relaxed);
  if (want == had) return;
  wanted_.store(want);
  // Readers beyond the number wanted now stay idle until wanted again.
  if (had < want) {
    std::lock_guard<std::mutex> hold(mutex_);
    idle_wake_.notify_all();
  }
  while (threads_.size() < want) {
    // Without a thread (a crowded 32-bit address space) the walk reads more itself.
    try {
      const unsigned index = static_cast<unsigned>(threads_.size());
      threads_.push_back(std::make_unique<platform::SmallStackThread>([this, index] { ReaderLoop(index); }));
    } catch (const std::system_error&) {
      break;
    }
  }
}

void SubtreeReaders::WalkHasWork(bool has) {
  // One idle reader looks for work to split; it wakes the next if it finds some.
  if (walk_has_work_.exchange(has) && !has && idle_ > 0) {
    std::lock_guard<std::mutex> hold(mutex_);
    idle_wake_.notify_one();
  }
}

bool SubtreeReaders::ReaderFree() const {
  return idle_.load(std::memory_order_relaxed) > waiting_jobs_.load(std::memory_order_relaxed);
}

SubtreeJobPtr SubtreeReaders::Open(std::vector<PendingFolder> folders) {
  auto job = std::make_shared<SubtreeJob>();
  job->stack = std::move(folders);
  open_jobs_.fetch_add(1, std::memory_order_relaxed);
  return job;
}

SubtreeJobPtr SubtreeReaders::Assign(std::vector<PendingFolder>& folders) {
  SubtreeJobPtr job;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    if (ending_ || idle_ <= unassigned_.size() || open_jobs_ >= OpenJobsBound()) return nullptr;
    job = Open(std::move(folders));
    unassigned_.push_back(job);
    waiting_jobs_ = static_cast<unsigned>(unassigned_.size());
  }
  idle_wake_.notify_one();
  return job;
}

SubtreeJobPtr SubtreeReaders::AssignReturned(SubtreeJob& job) {
  const std::size_t unread = job.returned.size() - job.returned_delegated;
  if (unread < 2) return nullptr;
  // The far half; the next folder always stays with the walk.
  const std::size_t from = job.returned_delegated, count = unread / 2;
  const auto first = job.returned.begin() + static_cast<std::ptrdiff_t>(from);
  std::vector<PendingFolder> folders(std::make_move_iterator(first),
                                     std::make_move_iterator(first + static_cast<std::ptrdiff_t>(count)));
  SubtreeJobPtr helper = Assign(folders);
  if (!helper) {
    std::move(folders.begin(), folders.end(), first);
    return nullptr;
  }
  for (std::size_t i = from; i < from + count; ++i) job.returned[i].delegate = helper;
  job.returned_delegated += count;
  return helper;
}

bool SubtreeReaders::Returned(const SubtreeJob& job) {
  return job.stage() >= Stage::WalkHasAll && job.returned.size() - job.returned_delegated >= 2;
}

void SubtreeReaders::TakeQueued(SubtreeJob& job) {
  std::unique_lock<std::mutex> hold(job.mutex);
  if (job.stage() == Stage::Queued) {
    hold.unlock();
    {
      std::lock_guard<std::mutex> hold_all(mutex_);
      std::lock_guard<std::mutex> hold_job(job.mutex);
      // No reader took it yet: the walk reads it all itself. (One that has
      // taken it stops at once, as the walk waits for it below.)
      const auto it = std::find_if(unassigned_.begin(), unassigned_.end(),
                                   [&](const SubtreeJobPtr& waiting) { return waiting.get() == &job; });
      if (it != unassigned_.end()) {
        unassigned_.erase(it);
        waiting_jobs_ = static_cast<unsigned>(unassigned_.size());
        TakeBackUnread(job);
      }
    }
    hold.lock();
  }
  while (job.queued.empty() && job.stage() < Stage::Finished) {
    // Caught up: what is still unread comes back after the folder being read.
    AskToGiveBack(job);
    job.walk_waiting = true;
    job.wake.wait(hold);
  }
  job.walk_waiting = false;
  job.taken.swap(job.queued);
  if (job.stage() == Stage::Finished) TakeAll(job);
  if (job.reader_waiting) job.wake.notify_all();
}

SubtreeReaders::Step SubtreeReaders::Next(SubtreeJob& job, platform::FolderListing& listing) {
  if (job.taken.empty() && job.stage() < Stage::WalkHasAll) TakeQueued(job);
  Step step{Step::ReadItself, nullptr};
  if (!job.taken.empty()) {
    QueuedStep& queued = job.taken.front();
    if (queued.delegate) {
      step = Step{Step::Delegated, std::move(queued.delegate)};
    } else {
      listing = std::move(queued.listing);
      step = Step{Step::Listing, nullptr};
    }
    job.taken.pop_front();
  } else if (!job.returned.empty()) {
    PendingFolder& folder = job.returned.back();
    if (folder.delegate) step = Step{Step::Delegated, std::move(folder.delegate)};
    job.returned.pop_back();
    job.returned_delegated = std::min(job.returned_delegated, job.returned.size());
  }
  if (job.stage() == Stage::WalkHasAll && job.taken.empty() && job.returned.empty()) {
    Drain(job);  // nothing left to hand out: the job no longer counts as open
    open_jobs_.fetch_sub(1, std::memory_order_relaxed);
  }
  return step;
}

void SubtreeReaders::ReaderLoop(unsigned index) {
  const ReadFolder read = open_(root_);
  ReadTally tally;
  std::unique_lock<std::mutex> hold(mutex_);
  while (!ending_) {
    SubtreeJobPtr job;
    if (index >= wanted_) {
      idle_wake_.wait(hold);
      continue;
    }
    if (!unassigned_.empty()) {
      job = std::move(unassigned_.front());
      unassigned_.pop_front();
      waiting_jobs_ = static_cast<unsigned>(unassigned_.size());
    } else if (!walk_has_work_) {
      // What the walk still holds is nearer its turn than anything a job holds.
      job = Steal();
    }
    if (!job) {
      ++idle_;
      idle_wake_.wait(hold);
      --idle_;
      continue;
    }
    running_.push_back(job);
    hold.unlock();
    ReadJob(read, *job, tally);
    hold.lock();
    running_.erase(std::find(running_.begin(), running_.end(), job));
  }
}

// The far half of the unread folders of the job with most of them.
SubtreeJobPtr SubtreeReaders::Steal() {
  if (open_jobs_ >= OpenJobsBound()) return nullptr;
  SubtreeJob* victim = nullptr;
  std::size_t most = 1;
  for (const SubtreeJobPtr& job : running_) {
    std::lock_guard<std::mutex> hold(job->mutex);
    const std::size_t unread = job->stack.size() - job->delegated_at_bottom;
    if (OpenToSplit(*job) && unread > most) {
      most = unread;
      victim = job.get();
    }
  }
  if (victim == nullptr) return nullptr;
  std::lock_guard<std::mutex> hold(victim->mutex);
  const std::size_t unread = victim->stack.size() - victim->delegated_at_bottom;
  if (!OpenToSplit(*victim) || unread < 2) return nullptr;
  const std::size_t from = victim->delegated_at_bottom, count = unread / 2;
  const auto first = victim->stack.begin() + static_cast<std::ptrdiff_t>(from);
  SubtreeJobPtr job = Open(std::vector<PendingFolder>(
      std::make_move_iterator(first), std::make_move_iterator(first + static_cast<std::ptrdiff_t>(count))));
  // Read by the thief at once, so the walk never looks for it in unassigned_.
  job->Become(Stage::Reading);
  for (std::size_t i = from; i < from + count; ++i) victim->stack[i].delegate = job;
  victim->delegated_at_bottom += count;
  return job;
}

void SubtreeReaders::ReadJob(const ReadFolder& read, SubtreeJob& job, ReadTally& tally) {
  std::vector<PendingFolder> children;
  std::unique_lock<std::mutex> hold(job.mutex);
  BeginReading(job);
  while (!job.stack.empty() && job.stage() == Stage::Reading && !ending_) {
    PendingFolder folder = std::move(job.stack.back());
    job.stack.pop_back();
    job.delegated_at_bottom = std::min(job.delegated_at_bottom, job.stack.size());
    QueuedStep step;
    if (folder.delegate) {
      step.delegate = std::move(folder.delegate);
    } else {
      hold.unlock();
      count_.TimedRead(read, folder.path, step.listing, tally);
      children.clear();
      // Pushed last to first, so the first subfolder is read next.
      for (std::size_t i = step.listing.size(); i-- > 0;) {
        const platform::FolderEntry entry = step.listing[i];
        if (entry.is_folder && entry.enterable) children.push_back(PendingFolder{join_(folder.path, entry.name), {}});
      }
      hold.lock();
      std::move(children.begin(), children.end(), std::back_inserter(job.stack));
    }
    job.queued.push_back(std::move(step));
    if (job.walk_waiting) job.wake.notify_all();
    if (idle_ > 0 && !walk_has_work_ && job.stack.size() - job.delegated_at_bottom >= 2 &&
        open_jobs_ < OpenJobsBound()) {
      // An idle reader can take half of what is left.
      hold.unlock();
      {
        std::lock_guard<std::mutex> hold_all(mutex_);
        idle_wake_.notify_one();
      }
      hold.lock();
    }
    while (job.queued.size() >= JobCapacity() && job.stage() == Stage::Reading && !ending_) {
      job.reader_waiting = true;
      job.wake.wait(hold);
      job.reader_waiting = false;
    }
  }
  EndReading(job);
  if (job.walk_waiting) job.wake.notify_all();
}

}  // namespace quellor::search
