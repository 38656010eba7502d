#include "platform/win32/long_path_win32.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace quellor::platform::win32 {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// The system's full form of a short path that names no file of ours (a
// drive's current folder, the current folder): its names are as the system
// keeps them, so nothing of them is lost.
std::wstring FullPathOf(const wchar_t* path) {
  const DWORD size = GetFullPathNameW(path, 0, nullptr, nullptr);
  if (size == 0) return {};
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path, size, full.data(), nullptr);
  if (length == 0 || length >= size) return {};
  full.resize(length);
  return full;
}

// `root` followed by the components of `rest`, "." and ".." resolved.
std::wstring Joined(const std::wstring& root, const std::wstring& rest) {
  std::vector<std::wstring> names;
  std::size_t at = 0;
  while (at <= rest.size()) {
    std::size_t end = at;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    const std::wstring name = rest.substr(at, end - at);
    if (name == L"..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != L".") {
      names.push_back(name);
    }
    at = end + 1;
  }
  std::wstring path = root + L'\\';
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) path += L'\\';
    path += names[i];
  }
  return path;
}

}  // namespace

std::wstring LongPath(const std::wstring& path) {
  if (path.rfind(L"\\\\?\\", 0) == 0 || path.rfind(L"\\\\.\\", 0) == 0) return path;
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    // \\server\share\rest: the server and the share are the root.
    std::size_t at = 2;
    std::wstring parts[2];
    for (std::wstring& part : parts) {
      while (at < path.size() && !IsSeparator(path[at])) part += path[at++];
      if (at < path.size()) ++at;
    }
    return Joined(L"\\\\?\\UNC\\" + parts[0] + L'\\' + parts[1], path.substr(std::min(at, path.size())));
  }
  if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':') {
    if (path.size() >= 3 && IsSeparator(path[2])) return Joined(L"\\\\?\\" + path.substr(0, 2), path.substr(3));
    // "D:name": below the current folder of drive D.
    const std::wstring base = FullPathOf(path.substr(0, 2).c_str());
    return base.empty() ? path : LongPath(base + L'\\' + path.substr(2));
  }
  // "\name": on the current drive; "name": below the current folder.
  const std::wstring base = FullPathOf(!path.empty() && IsSeparator(path[0]) ? L"\\" : L".");
  if (base.empty() || base.rfind(L"\\\\?\\", 0) == 0) return path;
  if (!path.empty() && IsSeparator(path[0])) {
    return base.size() >= 2 && base[1] == L':' ? LongPath(base.substr(0, 2) + path) : path;
  }
  return LongPath(base + L'\\' + path);
}

std::wstring SystemFolderUnredirected(const std::wstring& long_path, const std::wstring& windows_folder,
                                      bool redirected) {
  if (!redirected || windows_folder.empty()) return long_path;
  const std::wstring system = LongPath(windows_folder) + L"\\System32";
  if (long_path.size() < system.size() ||
      CompareStringOrdinal(long_path.c_str(), static_cast<int>(system.size()), system.c_str(),
                           static_cast<int>(system.size()), TRUE) != CSTR_EQUAL) {
    return long_path;
  }
  if (long_path.size() > system.size() && long_path[system.size()] != L'\\') return long_path;
  return system.substr(0, system.size() - 8) + L"Sysnative" + long_path.substr(system.size());
}

std::wstring SystemPath(const std::wstring& path) {
  // Decided once: whether this process is a 32-bit one on 64-bit Windows, and where Windows is.
  static const struct Redirection {
    bool redirected = false;
    std::wstring windows_folder;
    Redirection() {
      BOOL wow64 = FALSE;
      if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64) return;
      wchar_t folder[MAX_PATH + 1] = {};
      const UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH + 1);
      if (length == 0 || length > MAX_PATH) return;
      redirected = true;
      windows_folder.assign(folder, length);
    }
  } redirection;
  return SystemFolderUnredirected(LongPath(path), redirection.windows_folder, redirection.redirected);
}

}  // namespace quellor::platform::win32
