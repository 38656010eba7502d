#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/file_operations.h"
#include "platform/win32/bound_function_win32.h"

namespace quellor::platform {

namespace {

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
    // A lookup of the exact name; a path holding a wildcard names no item.
    if (path.empty() || path.find_first_of("*?") != std::string::npos) return PathKind::Missing;
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
