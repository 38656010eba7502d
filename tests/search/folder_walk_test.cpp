// The walk reports the same folders in the same order whatever its readers
// do: many of them on few cores, queues of one listing, folders that vanish
// or cannot be read while it runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "platform/system_charset.h"
#include "search/folder_walk.h"
#include "support/temp_tree.h"

namespace quellor::search {
namespace {

using quellor::testing::TempTree;

std::string Join(std::string_view folder, std::string_view name) {
  return std::string(folder) + platform::kPathSeparator + std::string(name);
}

// Records every report, and checks on the way that each folder entered is the
// next one due in pre-order by the listings the walk itself reported.
class CheckingVisitor : public FolderVisitor {
 public:
  bool Enter(const std::string& path, const platform::FolderListing& listing) override {
    if (!due_.empty()) {
      EXPECT_FALSE(due_.back().empty()) << "entered " << path << " where none was due";
      if (!due_.back().empty()) {
        EXPECT_EQ(path, due_.back().front());
        due_.back().erase(due_.back().begin());
      }
    }
    std::string line = "enter " + path + ":";
    std::vector<std::string> children;
    for (std::size_t i = 0; i < listing.size(); ++i) {
      line += " " + std::string(listing[i].name);
      if (listing[i].is_folder && listing[i].enterable) children.push_back(Join(path, listing[i].name));
    }
    due_.push_back(children);
    log.push_back(line);
    if (on_enter) on_enter(path);
    return true;
  }
  void Leave(std::string path) override {
    EXPECT_TRUE(!due_.empty() && due_.back().empty()) << "left " << path << " with subfolders due";
    if (!due_.empty()) due_.pop_back();
    log.push_back("leave " + path);
  }
  void PassOver(const std::string& parent, std::string_view name, platform::PathKind) override {
    log.push_back("pass " + Join(parent, name));
  }
  bool StopRequested() const override { return false; }
  void Stopped(std::size_t) override { ADD_FAILURE() << "no stop was requested"; }

  std::vector<std::string> log;
  std::function<void(const std::string&)> on_enter;

 private:
  std::vector<std::vector<std::string>> due_;
};

void MakeTree(const TempTree& t, std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<std::string> folders{""};
  for (int i = 0; i < 300; ++i) {
    const std::string& parent = folders[rng() % folders.size()];
    folders.push_back(parent + (parent.empty() ? "" : "/") + "d" + std::to_string(i));
    t.Folder(folders.back());
  }
  for (int i = 0; i < 600; ++i) t.File(folders[rng() % folders.size()] + "/f" + std::to_string(i) + ".txt");
  // One wide folder: the walk and its readers share its subfolders out.
  for (int i = 0; i < 200; ++i) t.Folder("wide/w" + std::to_string(i));
  t.FolderLink("wide/link", t.Path("d0"));
}

std::vector<std::string> WalkLog(const std::string& root, const ReaderLimits& limits) {
  CheckingVisitor visitor;
  FolderWalk(Join, limits).Walk(root, visitor);
  return visitor.log;
}

TEST(FolderWalk, ManyReadersOnFewCoresReportWhatTheWalkAloneReports) {
  TempTree t;
  MakeTree(t, 7);
  const std::vector<std::string> alone = WalkLog(t.Root(), ReaderLimits{0, 0, 1024});
  ASSERT_GT(alone.size(), 1000u);
  for (std::size_t capacity : {std::size_t{1}, std::size_t{3}, std::size_t{1024}}) {
    for (int round = 0; round < 5; ++round) {
      SCOPED_TRACE("capacity " + std::to_string(capacity));
      EXPECT_EQ(WalkLog(t.Root(), ReaderLimits{12, 16, capacity}), alone);
    }
  }
}

TEST(FolderWalk, FoldersThatVanishOrCannotBeReadMidWalkNeitherHangNorDisorderTheWalk) {
  for (std::uint32_t seed = 1; seed <= 3; ++seed) {
    TempTree t;
    MakeTree(t, seed);
    std::vector<std::string> victims;
    for (int i = 150; i < 300; i += 10) victims.push_back(t.Path("d" + std::to_string(i)));
    CheckingVisitor visitor;
    std::size_t entered = 0;
    visitor.on_enter = [&](const std::string&) {
      // Now and then a later folder goes, or is closed to the walk.
      if (++entered % 7 != 0 || victims.empty()) return;
      std::error_code ignored;
      const std::filesystem::path victim = victims.back();
      victims.pop_back();
      if (entered % 3 == 0) {
        std::filesystem::remove_all(victim, ignored);
      } else if (entered % 3 == 1) {
        std::filesystem::permissions(victim, std::filesystem::perms::none, ignored);
      } else {
        // A file where the folder was: unreadable as a folder even to an administrator.
        std::filesystem::remove_all(victim, ignored);
        std::ofstream(victim).put('x');
      }
    };
    FolderWalk(Join, ReaderLimits{12, 16, 2}).Walk(t.Root(), visitor);
    EXPECT_EQ(visitor.log.back(), "leave " + t.Root());
    for (int i = 150; i < 300; i += 10) {
      std::error_code ignored;
      std::filesystem::permissions(t.Path("d" + std::to_string(i)), std::filesystem::perms::owner_all, ignored);
    }
  }
}

// A tree in memory: `fan_out` folders in each folder down to `depth` levels
// below the root, each listing taking `delay` (sleeping, as a share's does).
// It counts the listings, how many ran at once, and those begun after `stop`.
class SlowTree {
 public:
  SlowTree(int fan_out, int depth, std::chrono::milliseconds delay)
      : fan_out_(fan_out), depth_(depth), delay_(delay) {}

  OpenFolders Open() {
    return [this](const std::string&) -> ReadFolder {
      return [this](const std::string& folder, platform::FolderListing& listing) { return Read(folder, listing); };
    };
  }

  std::atomic<bool> stop{false};
  std::atomic<int> begun{0}, begun_after_stop{0}, most_at_once{0};

 private:
  bool Read(const std::string& folder, platform::FolderListing& listing) {
    const bool after_stop = stop;
    ++begun;
    if (after_stop) ++begun_after_stop;
    const int now = ++running_;
    for (int most = most_at_once; now > most && !most_at_once.compare_exchange_weak(most, now);) {
    }
    std::this_thread::sleep_for(delay_);
    listing.Clear();
    if (std::count(folder.begin(), folder.end(), platform::kPathSeparator) < depth_) {
      for (int i = 0; i < fan_out_; ++i) listing.Add(std::to_string(i), "", platform::PathKind::Folder, true, true);
    }
    --running_;
    return true;
  }

  const int fan_out_, depth_;
  const std::chrono::milliseconds delay_;
  std::atomic<int> running_{0};
};

// Asks for a stop on entering its `stop_at`-th folder.
class StoppingVisitor : public FolderVisitor {
 public:
  StoppingVisitor(SlowTree& tree, int stop_at) : tree_(tree), stop_at_(stop_at) {}
  bool Enter(const std::string&, const platform::FolderListing&) override {
    if (++entered_ == stop_at_) tree_.stop = true;
    return !tree_.stop;
  }
  void Leave(std::string) override {}
  void PassOver(const std::string&, std::string_view, platform::PathKind) override {}
  bool StopRequested() const override { return tree_.stop; }
  void Stopped(std::size_t) override { stopped = true; }
  bool stopped = false;

 private:
  SlowTree& tree_;
  const int stop_at_;
  int entered_ = 0;
};

TEST(FolderWalk, AStopDuringASlowWalkEndsItOnceTheListingsUnderWayAreDone) {
  // 1,365 folders of 20 ms each: over five seconds for the walk and four readers.
  SlowTree tree(4, 5, std::chrono::milliseconds(20));
  StoppingVisitor visitor(tree, 12);
  FolderWalk(Join, ReaderLimits{4, 4, 1024}, tree.Open()).Walk("r", visitor);
  EXPECT_TRUE(visitor.stopped);
  // Each reader ends after the listing it was reading; the walk reads nothing more.
  EXPECT_LE(tree.begun_after_stop, 4);
  EXPECT_LT(tree.begun, 200);
}

TEST(FolderWalk, ListingsThatWaitBringManyReaders) {
  SlowTree tree(6, 4, std::chrono::milliseconds(10));
  CheckingVisitor visitor;
  FolderWalk(Join, ReaderLimits{}, tree.Open()).Walk("r", visitor);
  EXPECT_EQ(tree.begun, 1555);
  EXPECT_GT(tree.most_at_once, 24) << "on " << std::thread::hardware_concurrency() << " cores";
}

}  // namespace
}  // namespace quellor::search
