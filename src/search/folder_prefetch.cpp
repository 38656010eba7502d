#include "search/folder_prefetch.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace quellor::search {

FolderPrefetch::FolderPrefetch(const std::string& root, JoinPath join, unsigned readers, std::size_t capacity)
    : join_(std::move(join)), capacity_(capacity) {
  for (unsigned i = 0; i < readers; ++i) {
    // Without a thread (a crowded 32-bit address space) the walk reads more itself.
    try {
      readers_.emplace_back([this, root] { ReaderLoop(root); });
    } catch (const std::system_error&) {
      break;
    }
    std::lock_guard<std::mutex> hold(mutex_);
    ++free_readers_;
  }
}

FolderPrefetch::~FolderPrefetch() {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    ending_ = true;
  }
  readers_wake_.notify_all();
  for (std::thread& reader : readers_) reader.join();
}

bool FolderPrefetch::ReaderFree() {
  std::lock_guard<std::mutex> hold(mutex_);
  return free_readers_ > 0;
}

int FolderPrefetch::Assign(const std::string& path) {
  int id = 0;
  {
    std::lock_guard<std::mutex> hold(mutex_);
    if (free_readers_ == 0) return 0;
    --free_readers_;
    auto job = std::make_shared<Job>();
    job->root = path;
    unassigned_.push_back(job);
    id = next_id_++;
    jobs_[id] = job;
  }
  readers_wake_.notify_one();
  return id;
}

void FolderPrefetch::Next(int id, platform::FolderListing& listing) {
  std::unique_lock<std::mutex> hold(mutex_);
  const std::shared_ptr<Job> job = jobs_.at(id);
  walk_wake_.wait(hold, [&] { return !job->listings.empty() || job->finished; });
  if (job->listings.empty()) {
    // Cannot happen while the walk and the reader enter the same folders;
    // an empty listing keeps the walk going rather than waiting for ever.
    listing.Clear();
    return;
  }
  listing = std::move(job->listings.front());
  job->listings.pop_front();
  hold.unlock();
  readers_wake_.notify_all();
}

void FolderPrefetch::Release(int id) {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    auto it = jobs_.find(id);
    if (it == jobs_.end()) return;
    it->second->released = true;
    jobs_.erase(it);
  }
  readers_wake_.notify_all();
}

void FolderPrefetch::ReaderLoop(const std::string& root) {
  const platform::FolderReader reader(root);
  std::unique_lock<std::mutex> hold(mutex_);
  for (;;) {
    readers_wake_.wait(hold, [&] { return ending_ || !unassigned_.empty(); });
    if (ending_) return;
    const std::shared_ptr<Job> job = unassigned_.front();
    unassigned_.pop_front();
    ReadSubtree(reader, *job, hold);
    job->finished = true;
    ++free_readers_;
    walk_wake_.notify_all();
  }
}

// Called and returning with `hold` locked; reads with it unlocked.
void FolderPrefetch::ReadSubtree(const platform::FolderReader& reader, Job& job, std::unique_lock<std::mutex>& hold) {
  std::vector<std::string> stack{job.root};
  while (!stack.empty()) {
    const std::string path = std::move(stack.back());
    stack.pop_back();
    hold.unlock();
    platform::FolderListing listing;
    reader.Read(path, listing);
    const std::size_t first_child = stack.size();
    for (std::size_t i = 0; i < listing.size(); ++i) {
      const platform::FolderEntry entry = listing[i];
      if (entry.is_folder && entry.enterable) stack.push_back(join_(path, entry.name));
    }
    // The first subfolder is entered first.
    std::reverse(stack.begin() + static_cast<std::ptrdiff_t>(first_child), stack.end());
    hold.lock();
    readers_wake_.wait(hold, [&] { return ending_ || job.released || job.listings.size() < capacity_; });
    if (ending_ || job.released) return;
    job.listings.push_back(std::move(listing));
    walk_wake_.notify_all();
  }
}

}  // namespace quellor::search
