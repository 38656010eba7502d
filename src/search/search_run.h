// One search run on the calling thread: the roots walked one after another in
// list order, every folder enumerated once and all keywords matched in memory,
// reporting rows and texts to a RunSink in the order the per-keyword
// enumeration of each folder would give them.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/folder_listing.h"
#include "search/folder_prefetch.h"
#include "search/keyword_matcher.h"
#include "search/match_rules.h"
#include "search/run_sink.h"

namespace quellor::search {

struct RunRequest {
  std::vector<std::string> keywords;  // KeywordList
  std::vector<std::string> roots;     // RootList
  NameKind kind = NameKind::Files;
};

// How names and paths work where the run happens.
struct RunSettings {
  const text::Charset* charset = nullptr;
  char separator = '/';
  std::string_view path_separators = "/";
  NameFolding fold_file_name = &text::FoldAsciiCase;
  bool utf8_names = false;
  // Folder-name roots follow drive-letter rules ('D' stands for 'D:', a root
  // needs a colon or a network prefix); otherwise a root must be absolute.
  bool drive_letter_roots = false;
};

// The settings of this platform for texts in `charset`.
RunSettings PlatformRunSettings(const text::Charset& charset);

// The rules by which a run with `settings` matches names of `kind` in `mode`.
MatchRules RulesOf(const RunSettings& settings, NameKind kind, MatchMode mode);

// Held by a run while it walks one root, so two runs never walk at once.
std::mutex& SearchLock();

class SearchRun {
 public:
  SearchRun(RunRequest request, const RunSettings& settings, RunSink& sink, const std::atomic<bool>& stop,
            const std::atomic<MatchMode>& mode);
  // The whole run: RootWalkerThread's work for each root in turn, or FolderNameRun.
  void Run();

  // The candidate folders of a folder-name search: the root, then every
  // folder below it in post-order. Empty when the root is not taken.
  std::vector<std::string> CollectFolderCandidates(const std::string& root);

 private:
  struct Frame {
    std::string path;
    std::vector<std::string> subfolders;
    std::size_t next = 0;
    // Where this folder's subtree is read: 0 by the walk itself, else the
    // prefetch job reading it; per subfolder, a job of its own once assigned.
    int source = 0;
    bool owns_source = false;
    std::vector<int> subfolder_jobs;
    std::size_t assigned_up_to = 0;  // subfolders before it have a job or were entered
  };

  void WalkRoot(const std::string& root);
  void WalkFolderForFiles(const std::string& root);
  bool SearchOneFolder(const platform::FolderReader& reader, std::string path, Frame& frame);
  void AssignFreeReaders(std::vector<Frame>& stack);
  void FolderNameRun();
  bool StopRequested() const { return stop_.load(std::memory_order_relaxed); }
  const KeywordMatcher& Matcher(MatchMode mode);
  std::string Join(std::string_view folder, std::string_view name) const;
  bool RootTaken(std::string& root) const;

  RunRequest request_;
  RunSettings settings_;
  RunSink& sink_;
  const std::atomic<bool>& stop_;
  const std::atomic<MatchMode>& mode_;
  std::int32_t PendingRootWalkers = 0;
  std::unique_ptr<KeywordMatcher> matchers_[2];
  // Reused from folder to folder.
  platform::FolderListing listing_;
  // The readers ahead of the current file-name walk, if any.
  FolderPrefetch* prefetch_ = nullptr;
  KeywordMatcher::Scratch scratch_;
  std::vector<std::uint32_t> matched_;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> hits_;  // (keyword, entry or candidate)
};

}  // namespace quellor::search
