// Subtrees read ahead reach the walk in its own order, whatever the readers'
// pace, and a walk that stops early never hangs on them.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/system_charset.h"
#include "search/folder_prefetch.h"
#include "support/temp_tree.h"

namespace quellor::search {
namespace {

using quellor::testing::TempTree;

std::string Join(std::string_view folder, std::string_view name) {
  return std::string(folder) + platform::kPathSeparator + std::string(name);
}

// One line for a listing ("path: name name ..."), and the subfolders a walk enters.
std::string Describe(const std::string& path, const platform::FolderListing& listing,
                     std::vector<std::string>& children) {
  std::string names = path + ":";
  for (std::size_t i = 0; i < listing.size(); ++i) {
    names += " " + std::string(listing[i].name);
    if (listing[i].is_folder && listing[i].enterable) children.push_back(Join(path, listing[i].name));
  }
  return names;
}

// Every listing in the walk's pre-order, read directly or taken from a job.
void ReadDirectly(const platform::FolderReader& reader, const std::string& path, std::vector<std::string>& out) {
  platform::FolderListing listing;
  reader.Read(path, listing);
  std::vector<std::string> children;
  out.push_back(Describe(path, listing, children));
  for (const std::string& child : children) ReadDirectly(reader, child, out);
}

void ReadThroughJob(FolderPrefetch& prefetch, int job, const std::string& path, std::vector<std::string>& out) {
  platform::FolderListing listing;
  prefetch.Next(job, listing);
  std::vector<std::string> children;
  out.push_back(Describe(path, listing, children));
  for (const std::string& child : children) ReadThroughJob(prefetch, job, child, out);
}

void MakeTree(const TempTree& t) {
  for (int a = 0; a < 4; ++a) {
    for (int b = 0; b < 5; ++b) {
      const std::string folder = "s" + std::to_string(a) + "/d" + std::to_string(b);
      t.Folder(folder + "/deep/deeper");
      t.File(folder + "/f" + std::to_string(b) + ".txt");
      t.File(folder + "/deep/deeper/x.jpg");
    }
  }
}

TEST(FolderPrefetch, SubtreesArriveInTheWalksOrderEvenWhenReadersWaitForRoom) {
  TempTree t;
  MakeTree(t);
  const platform::FolderReader reader(t.Root());
  for (std::size_t capacity : {std::size_t{1}, std::size_t{3}, std::size_t{1024}}) {
    FolderPrefetch prefetch(t.Root(), Join, 2, capacity);
    std::vector<std::pair<int, int>> jobs;  // (job, subtree)
    for (int a = 0; a < 4; ++a) {
      const int job = prefetch.Assign(t.Path("s" + std::to_string(a)));
      if (job != 0) jobs.emplace_back(job, a);
    }
    // Two readers: a reader is free again only once it has read its whole
    // subtree, which a one-listing queue never lets it do here.
    if (capacity == 1) {
      EXPECT_EQ(jobs.size(), 2u);
    } else {
      EXPECT_GE(jobs.size(), 2u);
    }
    for (const auto& [job, subtree] : jobs) {
      std::vector<std::string> expected, got;
      ReadDirectly(reader, t.Path("s" + std::to_string(subtree)), expected);
      ReadThroughJob(prefetch, job, t.Path("s" + std::to_string(subtree)), got);
      EXPECT_EQ(got, expected);
      prefetch.Release(job);
    }
  }
}

TEST(FolderPrefetch, AWalkThatStopsEarlyReleasesOrDropsItsJobsWithoutHanging) {
  TempTree t;
  MakeTree(t);
  for (int round = 0; round < 20; ++round) {
    FolderPrefetch prefetch(t.Root(), Join, 2, 1);
    const int first = prefetch.Assign(t.Path("s0"));
    const int second = prefetch.Assign(t.Path("s1"));
    platform::FolderListing listing;
    prefetch.Next(first, listing);
    EXPECT_GT(listing.size(), 0u);
    prefetch.Release(first);
    // A released job frees its reader for the next subtree.
    int third = 0;
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (third == 0 && std::chrono::steady_clock::now() < give_up) {
      third = prefetch.Assign(t.Path("s2"));
      if (third == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_NE(third, 0);
    if (round % 2 == 0) prefetch.Release(second);
    // The rest is dropped when the prefetch goes.
  }
}

}  // namespace
}  // namespace quellor::search
