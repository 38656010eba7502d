#include "search/search_run.h"

#include <algorithm>
#include <thread>

#include "platform/file_name_case.h"
#include "platform/system_charset.h"
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

namespace {
// Folder reading is system time: a reader per core overlaps it.
unsigned PrefetchReaders() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : (cores > 4 ? 4 : cores);
}
}  // namespace

std::mutex& SearchLock() {
  static std::mutex lock;
  return lock;
}

SearchRun::SearchRun(RunRequest request, const RunSettings& settings, RunSink& sink, const std::atomic<bool>& stop,
                     const std::atomic<MatchMode>& mode)
    : request_(std::move(request)), settings_(settings), sink_(sink), stop_(stop), mode_(mode) {}

void SearchRun::Run() {
  if (request_.kind == NameKind::Folders) {
    FolderNameRun();
    return;
  }
  PendingRootWalkers = static_cast<std::int32_t>(request_.roots.size());
  for (const std::string& root : request_.roots) WalkRoot(root);
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

// RootWalkerThread: the walk under SearchLock, then the end-of-walker step.
void SearchRun::WalkRoot(const std::string& root) {
  {
    std::lock_guard<std::mutex> hold(SearchLock());
    WalkFolderForFiles(root);
  }
  if (--PendingRootWalkers == 0) sink_.ShowFilesFinished();
  sink_.FolderDone();
}

// Depth-first pre-order with an explicit stack, so deep trees cost heap, not
// stack. A stop seen in a folder ends it and, as each enclosing folder looks
// again after its subfolder returns, every enclosing folder too, each writing
// the finished text once. Subtrees the walk will enter later are read ahead on
// other threads; their listings reach the walk in the same order.
void SearchRun::WalkFolderForFiles(const std::string& root) {
  // An empty or missing root reads as an empty folder.
  const platform::FolderReader reader(root);
  FolderPrefetch prefetch(
      root, [this](std::string_view folder, std::string_view name) { return Join(folder, name); },
      PrefetchReaders());
  prefetch_ = &prefetch;
  struct Detach {
    FolderPrefetch*& prefetch;
    ~Detach() { prefetch = nullptr; }
  } detach{prefetch_};

  std::vector<Frame> stack(1);
  if (!SearchOneFolder(reader, root, stack.back())) return;
  while (!stack.empty()) {
    AssignFreeReaders(stack);
    Frame& top = stack.back();
    if (top.next < top.subfolders.size()) {
      const std::size_t index = top.next++;
      std::string child = Join(top.path, top.subfolders[index]);
      Frame frame;
      const int job = top.subfolder_jobs.empty() ? 0 : top.subfolder_jobs[index];
      frame.source = job != 0 ? job : top.source;
      frame.owns_source = job != 0;
      if (SearchOneFolder(reader, std::move(child), frame)) {
        stack.push_back(std::move(frame));
        continue;
      }
    } else {
      if (top.owns_source) prefetch.Release(top.source);
      stack.pop_back();
      if (stack.empty()) break;
    }
    if (StopRequested()) {
      for (std::size_t level = stack.size(); level > 0; --level) sink_.ShowFilesFinished();
      return;
    }
  }
}

// A free reader takes the next subtree that the walk reads itself and has not
// entered yet, nearest the root first: the largest stretch of work ahead.
void SearchRun::AssignFreeReaders(std::vector<Frame>& stack) {
  if (!prefetch_->ReaderFree()) return;
  for (Frame& frame : stack) {
    if (frame.source != 0) return;  // below here a reader has the whole subtree
    for (std::size_t i = std::max(frame.next, frame.assigned_up_to); i < frame.subfolders.size(); ++i) {
      const int job = prefetch_->Assign(Join(frame.path, frame.subfolders[i]));
      if (job == 0) return;
      if (frame.subfolder_jobs.empty()) frame.subfolder_jobs.assign(frame.subfolders.size(), 0);
      frame.subfolder_jobs[i] = job;
      frame.assigned_up_to = i + 1;
    }
  }
}

// The keyword loop of one folder. False when a stop request ended it.
bool SearchRun::SearchOneFolder(const platform::FolderReader& reader, std::string path, Frame& frame) {
  if (StopRequested()) {
    sink_.ShowFilesFinished();
    return false;
  }
  const KeywordMatcher& matcher = Matcher(mode_.load(std::memory_order_relaxed));
  if (frame.source != 0) {
    prefetch_->Next(frame.source, listing_);
  } else {
    reader.Read(path, listing_);
  }
  hits_.clear();
  for (std::uint32_t i = 0; i < listing_.size(); ++i) {
    const platform::FolderEntry entry = listing_[i];
    if (entry.is_folder) {
      if (entry.enterable) frame.subfolders.emplace_back(entry.name);
      continue;
    }
    matcher.CollectMatches(entry.name, entry.alias, scratch_, matched_);
    for (std::uint32_t k : matched_) hits_.emplace_back(k, i);
  }
  if (hits_.size() > 1) std::sort(hits_.begin(), hits_.end());
  const std::size_t max_path = platform::MaxPathLength();
  for (std::size_t h = 0; h < hits_.size(); ++h) {
    const std::uint32_t keyword = hits_[h].first;
    if ((h == 0 || hits_[h - 1].first != keyword) && StopRequested()) {
      sink_.ReportKeywordProgress(keyword);
      sink_.ShowFilesFinished();
      sink_.FolderDone();
      return false;
    }
    const std::string row = Join(path, listing_[hits_[h].second].name);
    if (row.size() <= max_path) sink_.AddResultRow(row, keyword);
  }
  // The check before the keyword after the last one with hits.
  const std::size_t next_keyword = hits_.empty() ? 1 : hits_.back().first + 1;
  if (next_keyword < request_.keywords.size() && StopRequested()) {
    sink_.ReportKeywordProgress(next_keyword);
    sink_.ShowFilesFinished();
    sink_.FolderDone();
    return false;
  }
  sink_.ReportKeywordProgress(request_.keywords.size());
  sink_.FolderDone();
  frame.path = std::move(path);
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

std::vector<std::string> SearchRun::CollectFolderCandidates(const std::string& given_root) {
  std::vector<std::string> candidates;
  std::string root = given_root;
  if (!RootTaken(root) || !platform::IsExistingFolder(root)) return candidates;
  candidates.push_back(root);
  const platform::FolderReader reader(root);
  struct Level {
    std::string path;
    std::vector<std::pair<std::string, bool>> children;  // name, enterable
    std::size_t next = 0;
  };
  auto visit = [&](std::string path) {
    Level level;
    reader.Read(path, listing_);
    for (std::size_t i = 0; i < listing_.size(); ++i) {
      const platform::FolderEntry entry = listing_[i];
      if (entry.is_folder) level.children.emplace_back(std::string(entry.name), entry.enterable);
    }
    level.path = std::move(path);
    return level;
  };
  std::vector<Level> stack;
  stack.push_back(visit(root));
  while (!stack.empty()) {
    if (StopRequested()) return candidates;
    Level& top = stack.back();
    if (top.next < top.children.size()) {
      const auto& [name, enterable] = top.children[top.next++];
      std::string child = Join(top.path, name);
      // Passed over rather than listed with a path the platform cannot use.
      if (child.size() > platform::MaxPathLength()) continue;
      if (enterable) {
        stack.push_back(visit(std::move(child)));
      } else {
        candidates.push_back(std::move(child));
      }
      continue;
    }
    std::string done = std::move(top.path);
    stack.pop_back();
    if (!stack.empty()) candidates.push_back(std::move(done));
  }
  return candidates;
}

// One worker for all roots: per root, the candidates, then every keyword
// against every candidate's last component, rows grouped by keyword. A stop
// ends the run at once; the finished text is written in any case.
void SearchRun::FolderNameRun() {
  sink_.ShowFolderRunStart();
  sink_.FolderDone();
  for (const std::string& root : request_.roots) {
    if (StopRequested()) break;
    std::vector<std::string> candidates;
    {
      std::lock_guard<std::mutex> hold(SearchLock());
      candidates = CollectFolderCandidates(root);
    }
    if (StopRequested()) break;
    const KeywordMatcher& matcher = Matcher(mode_.load(std::memory_order_relaxed));
    hits_.clear();
    for (std::uint32_t c = 0; c < candidates.size(); ++c) {
      const std::string_view name = text::LastPathComponent(*settings_.charset, candidates[c], settings_.separator);
      matcher.CollectMatches(name, {}, scratch_, matched_);
      for (std::uint32_t k : matched_) hits_.emplace_back(k, c);
    }
    std::sort(hits_.begin(), hits_.end());
    for (std::size_t h = 0; h < hits_.size(); ++h) {
      if (StopRequested()) break;
      sink_.AddResultRow(candidates[hits_[h].second], hits_[h].first);
    }
    sink_.FolderDone();
  }
  sink_.ShowFoldersFinished();
  sink_.FolderDone();
}

}  // namespace quellor::search
