#include <windows.h>

#include <atomic>
#include <cstring>

#include "platform/folder_listing.h"
#include "platform/system_charset.h"
#include "text/path_scan.h"

namespace quellor::platform {

namespace {

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Larger reads per call (fewer round trips on a share); systems before
// Windows 7 refuse the flag, and then the plain call is used from there on.
std::atomic<bool> large_fetch_refused{false};

HANDLE FindFirst(const std::string& pattern, WIN32_FIND_DATAA& data) {
  if (!large_fetch_refused.load(std::memory_order_relaxed)) {
    // The standard level keeps the short (8.3) alias that keywords also match.
    HANDLE find = FindFirstFileExA(pattern.c_str(), FindExInfoStandard, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find != INVALID_HANDLE_VALUE || GetLastError() != ERROR_INVALID_PARAMETER) return find;
    large_fetch_refused.store(true, std::memory_order_relaxed);
  }
  return FindFirstFileExA(pattern.c_str(), FindExInfoStandard, &data, FindExSearchNameMatch, nullptr, 0);
}

}  // namespace

FolderReader::FolderReader(const std::string& root) : root_(root) { root_known_ = true; }

FolderReader::~FolderReader() = default;

bool FolderReader::Read(const std::string& folder, FolderListing& listing) const {
  listing.Clear();
  if (folder.empty()) return false;
  std::string pattern = folder;
  if (!text::EndsWithSeparator(SystemCharset(), pattern, '\\')) pattern += '\\';
  pattern += '*';
  if (pattern.size() >= MAX_PATH) {
    listing.SetProblem(ReadProblem::TooLong);
    return false;
  }
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirst(pattern, data);
  if (find == INVALID_HANDLE_VALUE) {
    // An empty drive root has no entry at all, not even ".".
    if (GetLastError() != ERROR_FILE_NOT_FOUND) listing.SetProblem(ReadProblem::Unreadable);
    return false;
  }
  do {
    if (IsDotOrDotDot(data.cFileName)) continue;
    const bool is_folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool is_link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    std::string_view alias = data.cAlternateFileName;
    if (alias == data.cFileName) alias = {};
    listing.Add(data.cFileName, alias, is_folder, is_folder && !is_link);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return true;
}

bool IsExistingFolder(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::size_t MaxPathLength() { return MAX_PATH - 1; }

}  // namespace quellor::platform
