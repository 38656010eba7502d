// One search run on the calling thread: matching and reporting.
//
// How it works: the roots are walked one after another in list order
// (folder_walk.h decides what is read and in which order). A file-name search
// matches all keywords against each folder's entries at once and reports rows
// and keywords' turns to a RunSink in the order a per-keyword enumeration of the
// folder would give them: rows by keyword, each keyword's turn, a stop seen
// before the next keyword that has hits. A folder-name search collects each
// root's folders (root first, the rest in post-order) and then compares every
// keyword with every folder's last path component.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "ntfs/volume_index.h"
#include "platform/folder_listing.h"
#include "search/folder_rights.h"
#include "search/folder_walk.h"
#include "search/keyword_matcher.h"
#include "search/match_rules.h"
#include "search/run_sink.h"
#include "search/volume_index_source.h"

namespace quellor::search {

struct RunRequest {
  std::vector<std::string> keywords;  // what is searched for; rows come grouped in this order
  std::vector<std::string> roots;     // the folders searched, one after another
  NameKind kind = NameKind::Files;
  // Instead of `keywords`, when they are empty: the keywords one a line, as
  // text::SplitLines cuts them. The engine cuts them on the run's thread, so a
  // list of a hundred thousand names costs its owner no time.
  std::string keyword_lines = {};
  // Where given, the index of the volume whose root is the root at the same
  // place in `roots`: that root is walked through the index, not read.
  std::vector<std::shared_ptr<const ntfs::VolumeIndex>> indexes = {};
  // Asked for the index of each root `indexes` gives none for.
  std::shared_ptr<VolumeIndexSource> index_source = {};
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
  // Threads that read ahead of the walk.
  ReaderLimits readers;
  // Which folders of a volume's index the user may list.
  ListingChecks listing_checks;
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
  // The whole run: each root walked in turn (WalkRoot), or FolderNameRun.
  void Run();

  // The candidate folders of a folder-name search: the root, then every
  // folder below it in post-order, each with its kind (a link passed over is
  // a Link). Empty when the root is not taken.
  std::vector<FoundRow> CollectFolderCandidates(std::size_t root);

 private:
  class FileVisitor;
  class CandidateVisitor;

  void WalkRoot(std::size_t root);
  // The walk of root `root`: through its volume's index where it has one.
  void Walk(std::size_t root, FolderVisitor& visitor);
  // Finds the index of root `root`, if it has one, for the walks that follow,
  // releasing the one before.
  void TakeIndexOf(std::size_t root);
  bool SearchOneFolder(const std::string& path, const platform::FolderListing& listing);
  // Names a folder whose listing could not be read (or whose path is too long).
  void ReportReadProblem(const std::string& path, const platform::FolderListing& listing);
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
  std::int32_t roots_left_ = 0;  // roots whose walk has not finished
  std::unique_ptr<KeywordMatcher> matchers_[2];
  FolderWalk walk_;
  std::shared_ptr<const ntfs::VolumeIndex> root_index_;  // of the root being walked
  KeywordMatcher::Scratch scratch_;
  std::vector<std::uint32_t> matched_;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> hits_;  // (keyword, entry or candidate)
};

}  // namespace quellor::search
