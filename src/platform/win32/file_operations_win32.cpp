#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/file_operations.h"
#include "platform/folder_listing.h"
#include "platform/win32/bound_function_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::platform {

namespace {

// The shell expands '*' and '?' in a request's paths, so one such row would
// copy, move or delete every item it matches. No found item holds either.
bool HoldsWildcard(const std::string& path) { return path.find_first_of("*?") != std::string::npos; }

// A list of exactly one path for the shell: the path and two zero characters;
// nothing for a path that is not UTF-8.
std::optional<std::wstring> OnePathList(const std::string& path) {
  std::optional<std::wstring> list = win32::WideName(path);
  if (!list) return std::nullopt;
  list->push_back(L'\0');
  list->push_back(L'\0');
  return list;
}

HANDLE OpenItem(const std::string& path) {
  const std::optional<std::wstring> wide = win32::WideName(path);
  if (HoldsWildcard(path) || !wide || wide->empty()) return INVALID_HANDLE_VALUE;
  return CreateFileW(wide->c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// A handle on the file or folder `path` leads to, for its identity and real path only.
class ItemHandle {
 public:
  explicit ItemHandle(const std::string& path) : handle_(OpenItem(path)) {}
  ~ItemHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  ItemHandle(const ItemHandle&) = delete;
  ItemHandle& operator=(const ItemHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

class Win32FileOperations final : public FileOperations {
 public:
  FileOperationResult Run(FileOperationKind kind, const std::string& source, const std::string& destination,
                          unsigned flags) override {
    if (HoldsWildcard(source) || (kind != FileOperationKind::Delete && HoldsWildcard(destination))) {
      return FileOperationResult{false, ERROR_INVALID_NAME, false};
    }
    const std::optional<std::wstring> from = OnePathList(source);
    const std::optional<std::wstring> to =
        OnePathList(kind == FileOperationKind::Delete ? std::string() : destination);
    if (!from || !to) return FileOperationResult{false, ERROR_INVALID_NAME, false};
    SHFILEOPSTRUCTW request{};
    request.hwnd = nullptr;
    request.wFunc = static_cast<UINT>(kind);
    request.pFrom = from->c_str();
    request.pTo = to->c_str();
    request.fFlags = static_cast<FILEOP_FLAGS>(flags);
    request.fAnyOperationsAborted = FALSE;
    request.hNameMappings = nullptr;
    request.lpszProgressTitle = nullptr;
    const int code = QUELLOR_BOUND(shell32, SHFileOperationW)(&request);
    const bool aborted = request.fAnyOperationsAborted != FALSE;
    return FileOperationResult{code == 0 && !aborted, code, aborted};
  }

  PathKind KindOf(const std::string& path) const override {
    if (path.empty()) return PathKind::Missing;
    // A lookup of the exact name: a wildcard would look up other items.
    if (HoldsWildcard(path)) return PathKind::Unknown;
    // Past the limit the lookup cannot tell: such a path is no row of the program.
    if (!PathWithinLimit(path)) return PathKind::Unknown;
    const std::optional<std::wstring> wide = win32::WideName(path);
    if (!wide) return PathKind::Unknown;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(wide->c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      const bool absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                          error == ERROR_INVALID_NAME || error == ERROR_NO_MORE_FILES;
      return absent ? PathKind::Missing : PathKind::Unknown;
    }
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Folder : PathKind::File;
  }

  std::optional<FileIdentity> IdentityOf(const std::string& path) const override {
    const ItemHandle item(path);
    BY_HANDLE_FILE_INFORMATION info{};
    if (item.get() == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(item.get(), &info)) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  }

  std::string RealPath(const std::string& path) const override {
    const ItemHandle item(path);
    if (item.get() == INVALID_HANDLE_VALUE) return {};
    std::wstring wide(MAX_PATH + 8, L'\0');
    for (;;) {
      const DWORD size = GetFinalPathNameByHandleW(item.get(), wide.data(), static_cast<DWORD>(wide.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
      if (size == 0) return {};
      if (size < wide.size()) {
        wide.resize(size);
        break;
      }
      wide.resize(size + 1);  // the size it needs, its terminating zero included
    }
    const std::string real = win32::Utf8Name(wide.data(), wide.size());
    // "\\?\C:\..." and "\\?\UNC\server\share\..." as the program writes paths.
    if (real.rfind("\\\\?\\UNC\\", 0) == 0) return "\\" + real.substr(7);
    if (real.rfind("\\\\?\\", 0) == 0) return real.substr(4);
    return real;
  }

  char Separator() const override { return '\\'; }
};

}  // namespace

std::unique_ptr<FileOperations> MakeSystemFileOperations() { return std::make_unique<Win32FileOperations>(); }

}  // namespace quellor::platform
