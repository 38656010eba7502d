// Reads whole subtrees that a walk will enter later on other threads, so the
// reading of several folders overlaps while the walk still takes every
// folder's listing in its own order (depth-first pre-order).
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/folder_listing.h"

namespace quellor::search {

class FolderPrefetch {
 public:
  using JoinPath = std::function<std::string(std::string_view folder, std::string_view name)>;

  // `readers` threads, each with a reader of its own for the walk's `root`.
  // A subtree keeps at most `capacity` listings read ahead, which bounds the memory.
  FolderPrefetch(const std::string& root, JoinPath join, unsigned readers, std::size_t capacity = 1024);
  ~FolderPrefetch();  // ends the readers and waits for them
  FolderPrefetch(const FolderPrefetch&) = delete;
  FolderPrefetch& operator=(const FolderPrefetch&) = delete;

  bool ReaderFree();
  // Hands the subtree at `path` to a free reader: the id of the job, 0 when no reader is free.
  int Assign(const std::string& path);
  // The next listing of the job's subtree, in pre-order, entering the
  // enterable folders in listing order; waits until a reader has it.
  void Next(int job, platform::FolderListing& listing);
  // The walk is done with the job's subtree.
  void Release(int job);

 private:
  struct Job {
    std::string root;
    std::deque<platform::FolderListing> listings;
    bool finished = false;
    bool released = false;
  };

  void ReaderLoop(const std::string& root);
  void ReadSubtree(const platform::FolderReader& reader, Job& job, std::unique_lock<std::mutex>& hold);

  JoinPath join_;
  std::size_t capacity_;
  std::mutex mutex_;
  std::condition_variable readers_wake_;  // a job to take, room in a job, or the end
  std::condition_variable walk_wake_;     // a listing read, or a job finished
  std::deque<std::shared_ptr<Job>> unassigned_;
  std::map<int, std::shared_ptr<Job>> jobs_;
  int next_id_ = 1;
  unsigned free_readers_ = 0;
  bool ending_ = false;
  std::vector<std::thread> readers_;
};

}  // namespace quellor::search
