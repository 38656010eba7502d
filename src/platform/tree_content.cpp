#include "platform/tree_content.h"

#include <set>
#include <vector>

#include "platform/file_name_case.h"
#include "platform/file_system.h"
#include "platform/system_charset.h"

namespace quellor::platform {

namespace {

std::string Folded(const std::string& path) { return FoldFileNameCase(NameCharset(), path); }

bool AddContent(const FileSystem& system, const std::string& path, const ItemState& state, const std::string& key,
                TreeContent& content) {
  if (state.kind == PathKind::File || state.kind == PathKind::Link) {
    content.files[key] = state.size;
    return true;
  }
  if (state.kind != PathKind::Folder) return state.kind == PathKind::Special;
  std::vector<FolderItem> items;
  if (system.List(path, items) != 0) return false;
  const char separator = system.Separator();
  for (const FolderItem& item : items) {
    const std::string below = path + separator + item.name;
    if (!AddContent(system, below, item.state, key.empty() ? item.name : key + separator + item.name, content)) {
      return false;
    }
  }
  return true;
}

}  // namespace

ContentMatch MatchContent(const TreeContent& expected, const TreeContent& copy) {
  ContentMatch match;
  match.same_kind = expected.folder == copy.folder;
  match.files_expected = expected.files.size();
  const auto count = [&match](std::uint64_t expected_size, std::uint64_t held_size) {
    match.bytes += held_size;
    if (held_size == expected_size) ++match.files;
  };
  std::vector<const std::pair<const std::string, std::uint64_t>*> missing;
  for (const auto& file : expected.files) {
    match.bytes_expected += file.second;
    const auto there = copy.files.find(file.first);
    if (there != copy.files.end()) {
      count(file.second, there->second);
    } else {
      missing.push_back(&file);
    }
  }
  if (missing.empty() || !copy.names_ignore_case) return match;
  // The copy's names that no expected file claims, by their folded form.
  std::map<std::string, std::uint64_t> unclaimed;
  for (const auto& [path, size] : copy.files) {
    if (expected.files.count(path) == 0) unclaimed.emplace(Folded(path), size);
  }
  std::set<std::string> taken;
  for (const auto* file : missing) {
    const std::string folded = Folded(file->first);
    const auto there = unclaimed.find(folded);
    if (there == unclaimed.end() || !taken.insert(folded).second) continue;
    count(file->second, there->second);
  }
  return match;
}

std::optional<TreeContent> ContentAt(const FileSystem& system, const std::string& path) {
  const ItemState state = system.Look(path);
  if (path.empty() || state.kind == PathKind::Missing || state.kind == PathKind::Unknown) return std::nullopt;
  TreeContent content;
  content.folder = state.kind == PathKind::Folder;
  content.names_ignore_case = system.NamesIgnoreCase();
  if (!AddContent(system, path, state, "", content)) return std::nullopt;
  return content;
}

}  // namespace quellor::platform
