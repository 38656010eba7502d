#include "support/temp_tree.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "platform/system_charset.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quellor::testing {

namespace fs = std::filesystem;

#ifdef _WIN32
fs::path NativePath(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }
std::string PathText(const fs::path& path) {
  const std::u8string utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}
#else
fs::path NativePath(const std::string& text) { return fs::path(text); }
std::string PathText(const fs::path& path) { return path.string(); }
#endif

namespace {
fs::path Native(const std::string& text) { return NativePath(text); }
}  // namespace

TempTree::TempTree() {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = base / ("quellor-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    if (fs::create_directory(candidate)) {
      path_ = candidate;
      root_ = PathText(candidate);
      return;
    }
  }
  throw std::runtime_error("no temporary folder");
}

TempTree::~TempTree() {
  std::error_code error;
  fs::remove_all(path_, error);
#ifndef _WIN32
  // A folder chain past the longest path the library takes whole: rm works
  // one step at a time.
  if (error) static_cast<void>(std::system(("rm -rf -- '" + root_ + "'").c_str()));
#endif
}

std::string TempTree::Path(std::string_view relative) const {
  std::string path = root_;
  if (relative.empty()) return path;
  path += platform::kPathSeparator;
  for (char c : relative) path += c == '/' ? platform::kPathSeparator : c;
  return path;
}

void TempTree::Write(std::string_view relative, std::string_view bytes) const {
  const fs::path path = Native(Path(relative));
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void TempTree::Folder(std::string_view relative) const { fs::create_directories(Native(Path(relative))); }

bool TempTree::FolderLink(std::string_view relative, const std::string& target) const {
  std::error_code error;
  fs::create_directory_symlink(Native(target), Native(Path(relative)), error);
  return !error;
}

#ifndef _WIN32
std::string TempTree::FolderChain(std::string_view relative, std::size_t length) const {
  const std::string name(200, 'd');
  std::string deep = Path(relative);
  int fd = ::open(deep.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return "";
  do {
    const int next = ::mkdirat(fd, name.c_str(), 0755) == 0 ? ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY) : -1;
    ::close(fd);
    if (next < 0) return "";
    fd = next;
    deep += "/" + name;
  } while (deep.size() < length);
  ::close(fd);
  return deep;
}
#endif

std::optional<std::string> TempTree::Read(std::string_view relative) const {
  std::ifstream in(Native(Path(relative)), std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool TempTree::Exists(std::string_view relative) const {
  std::error_code ignored;
  return fs::exists(Native(Path(relative)), ignored);
}

}  // namespace quellor::testing
