#include "support/temp_tree.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "platform/system_charset.h"

#ifdef _WIN32
#include <windows.h>
#else
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

// The file's own path, as the system takes it exactly: on Windows the long
// form, so a name that ends in a dot or a space keeps it.
fs::path Exact(const std::string& text) {
#ifdef _WIN32
  return NativePath("\\\\?\\" + text);
#else
  return NativePath(text);
#endif
}

#ifdef _WIN32
// Wine's own: the Unix path of a Windows one.
std::string UnixPathOf(const std::string& path) {
  using ToUnix = char*(__cdecl*)(const wchar_t*);
  const auto to_unix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (to_unix == nullptr) return {};
  char* unix_path = to_unix(Native(path).wstring().c_str());
  if (unix_path == nullptr) return {};
  std::string text = unix_path;
  HeapFree(GetProcessHeap(), 0, unix_path);
  return text;
}

// Waits up to ten seconds for `done` to hold.
bool Eventually(const std::function<bool()>& done) {
  for (int wait = 0; wait < 1000; ++wait) {
    if (done()) return true;
    Sleep(10);
  }
  return done();
}

bool Present(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Under Wine, a Unix program started with `arguments` (Unix paths, each
// quoted); false where there is no Wine to start it. Wine tells neither
// when a Unix program ends nor how: callers wait for what it does.
bool RunUnixProgram(const wchar_t* program, const std::vector<std::string>& arguments) {
  std::wstring command = program;
  for (const std::string& argument : arguments) command += L" \"" + NativePath(argument).wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  WaitForSingleObject(process.hProcess, 60000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

// A symbolic link made by the system, or under Wine (whose call to make one
// does nothing) by the Unix `ln`.
bool MakeLink(const std::string& link, const std::string& target, bool folder) {
  const DWORD flags = (folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | 0x2;  // allow unprivileged create
  const std::wstring wide_link = Native(link).wstring();
  if (CreateSymbolicLinkW(wide_link.c_str(), Native(target).wstring().c_str(), flags) && Present(wide_link)) {
    return true;
  }
  const std::string unix_link = UnixPathOf(link);
  const std::string unix_target = UnixPathOf(target);
  return !unix_link.empty() && !unix_target.empty() &&
         RunUnixProgram(L"Z:\\bin\\ln", {"-s", unix_target, unix_link}) &&
         Eventually([&] { return Present(wide_link); });
}

// The whole tree, removed as the file system holds it: under Wine by the
// Unix `rm`, which goes through no link and takes every name as it is; else
// by the long form of its path, which keeps names that end in a dot.
void RemoveTree(const std::string& root) {
  const std::string unix_root = UnixPathOf(root);
  const std::wstring wide_root = Native(root).wstring();
  if (!unix_root.empty() && RunUnixProgram(L"Z:\\bin\\rm", {"-rf", "--", unix_root}) &&
      Eventually([&] { return !Present(wide_root); })) {
    return;
  }
  std::error_code ignored;
  fs::remove_all(Exact(root), ignored);
}
#else
bool MakeLink(const std::string& link, const std::string& target, bool folder) {
  std::error_code error;
  if (folder) {
    fs::create_directory_symlink(Native(target), Native(link), error);
  } else {
    fs::create_symlink(Native(target), Native(link), error);
  }
  return !error;
}
#endif
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
#ifdef _WIN32
  RemoveTree(root_);
#else
  std::error_code error;
  fs::remove_all(path_, error);
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
  fs::create_directories(Native(Path(relative)).parent_path());
  std::ofstream out(Exact(Path(relative)), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void TempTree::Folder(std::string_view relative) const { fs::create_directories(Native(Path(relative))); }

bool TempTree::FolderLink(std::string_view relative, const std::string& target) const {
  fs::create_directories(Native(Path(relative)).parent_path());
  return MakeLink(Path(relative), target, true);
}

bool TempTree::FileLink(std::string_view relative, const std::string& target) const {
  fs::create_directories(Native(Path(relative)).parent_path());
  return MakeLink(Path(relative), target, false);
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
  std::ifstream in(Exact(Path(relative)), std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool TempTree::Exists(std::string_view relative) const {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(Exact(Path(relative)), ignored));
}

}  // namespace quellor::testing
