#include "search/temp_tree.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <system_error>

#include "platform/system_charset.h"

namespace quellor::search::testing {

namespace fs = std::filesystem;

namespace {
// Paths hold code-page bytes: the narrow-string constructor keeps them as the
// platform's own narrow functions read them.
fs::path Native(const std::string& bytes) { return fs::path(bytes); }
}  // namespace

TempTree::TempTree() {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path base = fs::temp_directory_path() /
                  ("quellor-search-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  fs::create_directories(base);
  root_ = base.string();
}

TempTree::~TempTree() {
  std::error_code ignored;
  fs::remove_all(Native(root_), ignored);
}

std::string TempTree::Path(std::string_view relative) const {
  std::string path = root_;
  if (relative.empty()) return path;
  path += platform::kPathSeparator;
  for (char c : relative) path += c == '/' ? platform::kPathSeparator : c;
  return path;
}

void TempTree::File(std::string_view relative) const {
  const std::string path = Path(relative);
  fs::create_directories(Native(path).parent_path());
  std::ofstream(Native(path)) << "x";
}

void TempTree::Folder(std::string_view relative) const { fs::create_directories(Native(Path(relative))); }

bool TempTree::FolderLink(std::string_view relative, const std::string& target) const {
  std::error_code error;
  fs::create_directory_symlink(Native(target), Native(Path(relative)), error);
  return !error;
}

}  // namespace quellor::search::testing
