#include "search/search_run.h"

#include <algorithm>

#include "platform/file_name_case.h"
#include "platform/system_charset.h"
#include "search/index_walk.h"
#include "text/path_scan.h"

namespace quellor::search {

RunSettings PlatformRunSettings(const text::Charset& charset) {
  RunSettings s;
  s.charset = &charset;
  s.separator = platform::kPathSeparator;
  s.path_separators = platform::kPathSeparators;
  s.fold_file_name = &platform::FoldFileNameCase;
  s.utf8_names = platform::NamesAreUtf8(charset);
  s.drive_letter_roots = platform::kPathSeparator == '\\';
  return s;
}

MatchRules RulesOf(const RunSettings& settings, NameKind kind, MatchMode mode) {
  MatchRules rules;
  rules.kind = kind;
  rules.mode = mode;
  rules.charset = settings.charset;
  rules.fold_file_name = settings.fold_file_name;
  rules.path_separators = settings.path_separators;
  rules.utf8_names = settings.utf8_names;
  return rules;
}

std::mutex& SearchLock() {
  static std::mutex lock;
  return lock;
}

SearchRun::SearchRun(RunRequest request, const RunSettings& settings, RunSink& sink, const std::atomic<bool>& stop,
                     const std::atomic<MatchMode>& mode)
    : request_(std::move(request)),
      settings_(settings),
      sink_(sink),
      stop_(stop),
      mode_(mode),
      walk_([this](std::string_view folder, std::string_view name) { return Join(folder, name); },
            settings_.readers) {}

// A file-name walk: every folder's keyword loop; a stop seen between folders
// ends each folder still open, each reporting the run's end once.
class SearchRun::FileVisitor : public FolderVisitor {
 public:
  explicit FileVisitor(SearchRun& run) : run_(run) {}
  bool Enter(const std::string& path, const platform::FolderListing& listing) override {
    run_.ReportReadProblem(path, listing);
    return run_.SearchOneFolder(path, listing);
  }
  void Leave(std::string) override {}
  void PassOver(const std::string&, std::string_view, platform::PathKind) override {}
  bool StopRequested() const override { return run_.StopRequested(); }
  void Stopped(std::size_t open_folders) override {
    for (std::size_t i = 0; i < open_folders; ++i) run_.sink_.FileRunEnded();
  }

 private:
  SearchRun& run_;
};

// The candidates of a folder-name search: a folder is listed once every
// folder inside it is, links at their place among their siblings.
class SearchRun::CandidateVisitor : public FolderVisitor {
 public:
  CandidateVisitor(SearchRun& run, std::vector<FoundRow>& candidates) : run_(run), candidates_(candidates) {}
  bool Enter(const std::string& path, const platform::FolderListing& listing) override {
    run_.ReportReadProblem(path, listing);
    return true;
  }
  void Leave(std::string path) override {
    // The root is listed first, not last; a path the platform cannot use is not listed.
    if (path != candidates_.front().path && platform::PathWithinLimit(path)) {
      candidates_.push_back(FoundRow{std::move(path), platform::PathKind::Folder});
    }
  }
  void PassOver(const std::string& parent, std::string_view name, platform::PathKind kind) override {
    std::string path = run_.Join(parent, name);
    if (platform::PathWithinLimit(path)) {
      candidates_.push_back(FoundRow{std::move(path), kind});
    } else {
      run_.sink_.FolderNotRead(path, platform::ReadProblem::TooLong);
    }
  }
  bool StopRequested() const override { return run_.StopRequested(); }
  void Stopped(std::size_t) override {}

 private:
  SearchRun& run_;
  std::vector<FoundRow>& candidates_;
};

void SearchRun::Run() {
  if (request_.kind == NameKind::Folders) {
    FolderNameRun();
    return;
  }
  roots_left_ = static_cast<std::int32_t>(request_.roots.size());
  for (std::size_t root = 0; root < request_.roots.size(); ++root) WalkRoot(root);
}

const KeywordMatcher& SearchRun::Matcher(MatchMode mode) {
  std::unique_ptr<KeywordMatcher>& matcher = matchers_[mode == MatchMode::Exact ? 0 : 1];
  if (!matcher) {
    matcher = std::make_unique<KeywordMatcher>(request_.keywords, RulesOf(settings_, request_.kind, mode));
  }
  return *matcher;
}

std::string SearchRun::Join(std::string_view folder, std::string_view name) const {
  std::string path;
  path.reserve(folder.size() + 1 + name.size());
  path += folder;
  if (!text::EndsWithSeparator(*settings_.charset, folder, settings_.separator)) path += settings_.separator;
  path += name;
  return path;
}

// The walk of one root under the search lock, then, once the last root is
// done, the run's end.
void SearchRun::WalkRoot(std::size_t root) {
  {
    std::lock_guard<std::mutex> hold(SearchLock());
    TakeIndexOf(root);
    FileVisitor visitor(*this);
    Walk(root, visitor);
    root_index_.reset();
  }
  if (--roots_left_ == 0) sink_.FileRunEnded();
  sink_.FolderDone();
}

void SearchRun::TakeIndexOf(std::size_t root) {
  root_index_.reset();
  if (root < request_.indexes.size() && request_.indexes[root]) {
    root_index_ = request_.indexes[root];
    return;
  }
  if (!request_.index_source || StopRequested()) return;
  const std::string& path = request_.roots[root];
  VolumeIndexAnswer answer = request_.index_source->IndexOf(
      path, [&](int percent) { sink_.VolumeBeingRead(path, percent); }, stop_);
  root_index_ = std::move(answer.index);
  if (!root_index_ && answer.walked_because) sink_.RootWalkedInstead(path, *answer.walked_because);
}

void SearchRun::Walk(std::size_t root, FolderVisitor& visitor) {
  if (const ntfs::VolumeIndex* index = root_index_.get()) {
    FolderRights rights(*index, settings_.listing_checks);
    IndexWalk(*index, [this](std::string_view folder, std::string_view name) { return Join(folder, name); }, &rights)
        .Walk(request_.roots[root], visitor);
  } else {
    walk_.Walk(request_.roots[root], visitor);
  }
}

void SearchRun::ReportReadProblem(const std::string& path, const platform::FolderListing& listing) {
  if (listing.Problem() != platform::ReadProblem::None) sink_.FolderNotRead(path, listing.Problem());
}

// The keyword loop of one folder. False when a stop request ended it.
bool SearchRun::SearchOneFolder(const std::string& path, const platform::FolderListing& listing) {
  if (StopRequested()) {
    sink_.FileRunEnded();
    return false;
  }
  const KeywordMatcher& matcher = Matcher(mode_.load(std::memory_order_relaxed));
  hits_.clear();
  for (std::uint32_t i = 0; i < listing.size(); ++i) {
    const platform::FolderEntry entry = listing[i];
    if (entry.is_folder) continue;
    matcher.CollectMatches(entry.name, entry.alias, scratch_, matched_);
    for (std::uint32_t k : matched_) hits_.emplace_back(k, i);
  }
  if (hits_.size() > 1) std::sort(hits_.begin(), hits_.end());
  for (std::size_t h = 0; h < hits_.size(); ++h) {
    const std::uint32_t keyword = hits_[h].first;
    if ((h == 0 || hits_[h - 1].first != keyword) && StopRequested()) {
      sink_.KeywordsSearched(keyword);
      sink_.FileRunEnded();
      sink_.FolderDone();
      return false;
    }
    const platform::FolderEntry entry = listing[hits_[h].second];
    const std::string row = Join(path, entry.name);
    if (platform::PathWithinLimit(row)) sink_.AddResultRow(row, entry.kind, keyword, entry.facts);
  }
  // The check before the keyword after the last one with hits.
  const std::size_t next_keyword = hits_.empty() ? 1 : hits_.back().first + 1;
  if (next_keyword < request_.keywords.size() && StopRequested()) {
    sink_.KeywordsSearched(next_keyword);
    sink_.FileRunEnded();
    sink_.FolderDone();
    return false;
  }
  sink_.KeywordsSearched(request_.keywords.size());
  sink_.FolderDone();
  return true;
}

bool SearchRun::RootTaken(std::string& root) const {
  if (root.empty()) return false;
  if (!settings_.drive_letter_roots) return root[0] == '/';
  if (root.find(':') != std::string::npos) return true;
  if (root.size() == 1) {
    root += ':';
    return true;
  }
  // A network root (\\server\share) is a path like any other.
  return root.size() > 2 && root[0] == '\\' && root[1] == '\\';
}

std::vector<FoundRow> SearchRun::CollectFolderCandidates(std::size_t root_at) {
  std::vector<FoundRow> candidates;
  std::string& root = request_.roots[root_at];
  // A volume read through its index has its root by construction.
  if (!RootTaken(root)) return candidates;
  TakeIndexOf(root_at);
  if (!root_index_ && !platform::IsExistingFolder(root)) return candidates;
  // The user named it: it leads to a folder, and may itself be a link to one.
  candidates.push_back(FoundRow{root, platform::PathKind::Unknown});
  CandidateVisitor visitor(*this, candidates);
  Walk(root_at, visitor);
  return candidates;
}

// One worker for all roots: per root, the candidates, then every keyword
// against every candidate's last component, rows grouped by keyword. A stop
// ends the run at once; its end is reported in any case.
void SearchRun::FolderNameRun() {
  sink_.FolderRunStarted();
  sink_.FolderDone();
  for (std::size_t root = 0; root < request_.roots.size(); ++root) {
    if (StopRequested()) break;
    std::vector<FoundRow> candidates;
    {
      std::lock_guard<std::mutex> hold(SearchLock());
      candidates = CollectFolderCandidates(root);
      root_index_.reset();
    }
    if (StopRequested()) break;
    const KeywordMatcher& matcher = Matcher(mode_.load(std::memory_order_relaxed));
    hits_.clear();
    for (std::uint32_t c = 0; c < candidates.size(); ++c) {
      const std::string_view name =
          text::LastPathComponent(*settings_.charset, candidates[c].path, settings_.separator);
      matcher.CollectMatches(name, {}, scratch_, matched_);
      for (std::uint32_t k : matched_) hits_.emplace_back(k, c);
    }
    std::sort(hits_.begin(), hits_.end());
    for (std::size_t h = 0; h < hits_.size(); ++h) {
      if (StopRequested()) break;
      const FoundRow& candidate = candidates[hits_[h].second];
      sink_.AddResultRow(candidate.path, candidate.kind, hits_[h].first, candidate.facts);
    }
    sink_.FolderDone();
  }
  sink_.FolderRunEnded();
  sink_.FolderDone();
}

}  // namespace quellor::search
