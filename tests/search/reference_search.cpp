#include "search/reference_search.h"

#include <filesystem>
#include <system_error>

#include "support/temp_tree.h"
#include "text/path_scan.h"

namespace quellor::search::testing {

namespace fs = std::filesystem;

namespace {

platform::PathKind KindOf(const fs::directory_entry& entry) {
  std::error_code ignored;
  switch (entry.symlink_status(ignored).type()) {
    case fs::file_type::regular:
      return platform::PathKind::File;
    case fs::file_type::directory:
      return platform::PathKind::Folder;
    case fs::file_type::symlink:
      return platform::PathKind::Link;
    case fs::file_type::block:
    case fs::file_type::character:
    case fs::file_type::fifo:
    case fs::file_type::socket:
      return platform::PathKind::Special;
    default:
      return platform::PathKind::Unknown;
  }
}

}  // namespace

std::vector<ReferenceSearch::Entry> ReferenceSearch::Entries(const std::string& folder) const {
  std::vector<Entry> entries;
  std::error_code error;
  fs::directory_iterator it(quellor::testing::NativePath(folder), error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    std::error_code ignored;
    const bool is_folder = it->is_directory(ignored);
    const bool link = it->is_symlink(ignored);
    entries.push_back(
        Entry{quellor::testing::PathText(it->path().filename()), KindOf(*it), is_folder, is_folder && !link});
  }
  return entries;
}

std::string ReferenceSearch::Join(const std::string& folder, const std::string& name) const {
  if (!folder.empty() && folder.back() == separator_) return folder + name;
  return folder + separator_ + name;
}

void ReferenceSearch::FileRun(const std::vector<std::string>& roots) {
  int pending = static_cast<int>(roots.size());
  for (const std::string& root : roots) {
    Walk(root);
    if (--pending == 0) sink_.FileRunEnded();
  }
}

void ReferenceSearch::Walk(const std::string& folder) {
  const std::vector<Entry> entries = folder.empty() ? std::vector<Entry>{} : Entries(folder);
  for (std::size_t k = 0; k < keywords_.size(); ++k) {
    if (stop_) {
      sink_.KeywordsSearched(k);
      sink_.FileRunEnded();
      return;
    }
    for (const Entry& e : entries) {
      if (!e.is_folder && NameMatchesKeyword(rules_, e.name, keywords_[k])) {
        sink_.AddResultRow(Join(folder, e.name), e.kind, k, {});
      }
    }
  }
  sink_.KeywordsSearched(keywords_.size());
  for (const Entry& e : entries) {
    if (!e.real_folder) continue;
    Walk(Join(folder, e.name));
    if (stop_) {
      sink_.FileRunEnded();
      break;
    }
  }
}

void ReferenceSearch::Collect(const std::string& folder, std::vector<FoundRow>& out) const {
  for (const Entry& e : Entries(folder)) {
    if (!e.is_folder) continue;
    const std::string child = Join(folder, e.name);
    if (e.real_folder) Collect(child, out);
    out.push_back(FoundRow{child, e.kind});
  }
}

void ReferenceSearch::FolderRun(const std::vector<std::string>& roots) {
  sink_.FolderRunStarted();
  for (const std::string& root : roots) {
    std::error_code error;
    std::string taken = root;
    if (separator_ == '\\') {
      if (taken.size() == 1) taken += ':';
      if (taken.find(':') == std::string::npos && taken.rfind("\\\\", 0) != 0) continue;
    } else if (taken.empty() || taken[0] != '/') {
      continue;
    }
    if (!fs::is_directory(fs::path(taken), error)) continue;
    std::vector<FoundRow> candidates{{taken, platform::PathKind::Unknown}};
    Collect(taken, candidates);
    for (std::size_t k = 0; k < keywords_.size(); ++k) {
      const std::string& keyword = keywords_[k];
      for (const FoundRow& candidate : candidates) {
        if (stop_) {
          sink_.FolderRunEnded();
          return;
        }
        const std::string_view name = text::LastPathComponent(*rules_.charset, candidate.path, separator_);
        if (NameMatchesKeyword(rules_, name, keyword)) sink_.AddResultRow(candidate.path, candidate.kind, k, {});
      }
    }
  }
  sink_.FolderRunEnded();
}

}  // namespace quellor::search::testing
