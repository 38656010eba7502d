#include <windows.h>

#include <atomic>
#include <cwchar>

#include "platform/folder_listing.h"
#include "platform/win32/folder_listing_win32.h"
#include "platform/win32/long_path_win32.h"
#include "platform/win32/reparse_point_win32.h"
#include "platform/win32/wide_text_win32.h"
#include "text/utf16.h"

namespace quellor::platform {

std::atomic<win32::FindNextEntry> win32::find_next_entry{&FindNextFileW};

namespace {

// The longest path the system's calls take in the long form, in UTF-16 code units.
constexpr std::size_t kLongestPath = 32767;

bool IsDotOrDotDot(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// Larger reads per call (fewer round trips on a share); systems before
// Windows 7 refuse the flag, and then the plain call is used from there on.
std::atomic<bool> large_fetch_refused{false};

HANDLE FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW& data) {
  if (!large_fetch_refused.load(std::memory_order_relaxed)) {
    // The standard level keeps the short (8.3) alias that keywords also match.
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoStandard, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find != INVALID_HANDLE_VALUE || GetLastError() != ERROR_INVALID_PARAMETER) return find;
    large_fetch_refused.store(true, std::memory_order_relaxed);
  }
  return FindFirstFileExW(pattern.c_str(), FindExInfoStandard, &data, FindExSearchNameMatch, nullptr, 0);
}

}  // namespace

FolderReader::FolderReader(const std::string& root) : root_(root) { root_known_ = true; }

FolderReader::~FolderReader() = default;

bool FolderReader::Read(const std::string& folder, FolderListing& listing) const {
  listing.Clear();
  if (folder.empty()) return false;
  const std::optional<std::wstring> wide = win32::WideName(folder);
  if (!wide) {
    listing.SetProblem(ReadProblem::Unreadable);
    return false;
  }
  // The long form, as the file operations use: deep folders past 260
  // characters are listed, and a folder named "a." is not taken for "a".
  std::wstring pattern = win32::SystemPath(*wide);
  if (pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  if (pattern.size() >= kLongestPath) {
    listing.SetProblem(ReadProblem::TooLong);
    return false;
  }
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirst(pattern, data);
  if (find == INVALID_HANDLE_VALUE) {
    // An empty drive root has no entry at all, not even ".".
    if (GetLastError() != ERROR_FILE_NOT_FOUND) listing.SetProblem(ReadProblem::Unreadable);
    return false;
  }
  // Reused from entry to entry: a name costs one conversion loop, no allocation.
  std::string name;
  std::string alias;
  do {
    if (IsDotOrDotDot(data.cFileName)) continue;
    const bool is_folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // The listing holds the reparse tag: no look-up per entry.
    const PathKind kind = win32::EntryKind(data.dwFileAttributes, data.dwReserved0);
    name.clear();
    alias.clear();
    const std::size_t name_units = std::wcslen(data.cFileName);
    text::AppendUtf8(name, data.cFileName, name_units);
    const std::size_t alias_units = std::wcslen(data.cAlternateFileName);
    if (alias_units != name_units || std::wmemcmp(data.cAlternateFileName, data.cFileName, name_units) != 0) {
      text::AppendUtf8(alias, data.cAlternateFileName, alias_units);
    }
    // The entry's size and last write, as a look at the item would give them.
    EntryFacts facts;
    facts.known = true;
    facts.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    facts.modified = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                               data.ftLastWriteTime.dwLowDateTime);
    listing.Add(name, alias, kind, is_folder, kind == PathKind::Folder, facts);
  } while (win32::find_next_entry.load(std::memory_order_relaxed)(find, &data));
  // Only ERROR_NO_MORE_FILES ends a listing whole; a share dropped or an I/O
  // error half way leaves a folder that was not read, never one with fewer files.
  const DWORD error = GetLastError();
  FindClose(find);
  if (error != ERROR_NO_MORE_FILES) {
    listing.Clear();
    listing.SetProblem(ReadProblem::Unreadable);
    return false;
  }
  return true;
}

bool IsExistingFolder(const std::string& path) {
  const std::optional<std::wstring> wide = win32::WideName(path);
  if (!wide || wide->empty()) return false;
  const DWORD attributes = GetFileAttributesW(win32::SystemPath(*wide).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool PathWithinLimit(std::string_view path) {
  // A byte is never fewer code units than it makes, so most paths need no
  // count. The room kept is for the long form's prefix ("\\?\UNC\") and "\*".
  constexpr std::size_t kRoom = 10;
  return path.size() + kRoom < kLongestPath || text::Utf16Length(path) + kRoom < kLongestPath;
}

}  // namespace quellor::platform
