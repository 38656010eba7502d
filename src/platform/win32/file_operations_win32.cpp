#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/file_operations.h"
#include "platform/win32/bound_function_win32.h"

namespace quellor::platform {

namespace {

// The shell expands '*' and '?' in a request's paths, so one such row would
// copy, move or delete every item it matches. No found item holds either.
bool HoldsWildcard(const std::string& path) { return path.find_first_of("*?") != std::string::npos; }

// A list of exactly one path for the shell: the path and two zero bytes.
std::string OnePathList(const std::string& path) {
  std::string list = path;
  list.push_back('\0');
  list.push_back('\0');
  return list;
}

class Win32FileOperations final : public FileOperations {
 public:
  FileOperationResult Run(FileOperationKind kind, const std::string& source, const std::string& destination,
                          unsigned flags) override {
    if (HoldsWildcard(source) || (kind != FileOperationKind::Delete && HoldsWildcard(destination))) {
      return FileOperationResult{false, ERROR_INVALID_NAME, false};
    }
    const std::string from = OnePathList(source);
    const std::string to = OnePathList(kind == FileOperationKind::Delete ? std::string() : destination);
    SHFILEOPSTRUCTA request{};
    request.hwnd = nullptr;
    request.wFunc = static_cast<UINT>(kind);
    request.pFrom = from.c_str();
    request.pTo = to.c_str();
    request.fFlags = static_cast<FILEOP_FLAGS>(flags);
    request.fAnyOperationsAborted = FALSE;
    request.hNameMappings = nullptr;
    request.lpszProgressTitle = nullptr;
    const int code = QUELLOR_BOUND(shell32, SHFileOperationA)(&request);
    const bool aborted = request.fAnyOperationsAborted != FALSE;
    return FileOperationResult{code == 0 && !aborted, code, aborted};
  }

  PathKind KindOf(const std::string& path) const override {
    if (path.empty()) return PathKind::Missing;
    // A lookup of the exact name: a wildcard would look up other items.
    if (HoldsWildcard(path)) return PathKind::Unknown;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      const bool absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                          error == ERROR_INVALID_NAME || error == ERROR_NO_MORE_FILES;
      return absent ? PathKind::Missing : PathKind::Unknown;
    }
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Folder : PathKind::File;
  }

  char Separator() const override { return '\\'; }
};

}  // namespace

std::unique_ptr<FileOperations> MakeSystemFileOperations() { return std::make_unique<Win32FileOperations>(); }

}  // namespace quellor::platform
