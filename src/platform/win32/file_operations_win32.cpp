#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/file_operations.h"
#include "platform/folder_listing.h"
#include "platform/win32/bound_function_win32.h"
#include "platform/win32/file_copy_win32.h"
#include "platform/win32/file_handle_win32.h"
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

// `path` for a look-up of the item itself: nothing for a path that is not
// UTF-8, or that holds a wildcard (it would look up other items).
std::optional<std::wstring> ExactItemPath(const std::string& path) {
  std::optional<std::wstring> wide = win32::WideName(path);
  if (HoldsWildcard(path) || !wide || wide->empty()) return std::nullopt;
  return wide;
}

// The last component of a path, after its last separator.
std::wstring BaseName(const std::wstring& path) {
  const std::size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

class Win32FileOperations final : public FileOperations {
 public:
  FileOperationResult Run(FileOperationKind kind, const std::string& source, const std::string& destination,
                          unsigned flags) override {
    if (HoldsWildcard(source) || (kind != FileOperationKind::Delete && HoldsWildcard(destination))) {
      return FileOperationResult{false, ERROR_INVALID_NAME, false};
    }
    if (kind == FileOperationKind::Delete) return Delete(source, flags);
    const std::optional<std::wstring> from = win32::WideName(source);
    const std::optional<std::wstring> to = win32::WideName(destination);
    if (!from || !to || from->empty() || to->empty()) return FileOperationResult{false, ERROR_INVALID_NAME, false};
    const bool into_folder = to->back() == L'\\' || to->back() == L'/';
    const std::wstring target = into_folder ? *to + BaseName(*from) : *to;
    if (IntoOwnTree(source, win32::Utf8Name(target.c_str()))) {
      return FileOperationResult{false, ERROR_INVALID_PARAMETER, false};
    }
    const DWORD status =
        kind == FileOperationKind::Copy ? win32::CopyItem(*from, target) : win32::MoveItem(*from, target);
    return FileOperationResult{status == 0, static_cast<int>(status), false};
  }

  std::optional<TreeContent> ContentOf(const std::string& path) const override {
    const std::optional<std::wstring> wide = ExactItemPath(path);
    return wide ? win32::ContentAt(*wide) : std::nullopt;
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
    const std::optional<std::wstring> wide = ExactItemPath(path);
    return wide ? win32::IdentityAt(*wide) : std::nullopt;
  }

  std::string RealPath(const std::string& path) const override {
    const std::optional<std::wstring> item_path = ExactItemPath(path);
    if (!item_path) return {};
    const win32::Handle item(win32::OpenForAttributes(*item_path));
    if (!item.valid()) return {};
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

 private:
  // The shell's delete, with its own messages.
  static FileOperationResult Delete(const std::string& source, unsigned flags) {
    const std::optional<std::wstring> from = OnePathList(source);
    const std::optional<std::wstring> to = OnePathList(std::string());
    if (!from || !to) return FileOperationResult{false, ERROR_INVALID_NAME, false};
    SHFILEOPSTRUCTW request{};
    request.hwnd = nullptr;
    request.wFunc = FO_DELETE;
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

  // A folder copied or moved to `target` inside its own tree, links resolved:
  // its copy would hold itself without end.
  bool IntoOwnTree(const std::string& source, const std::string& target) const {
    if (KindOf(source) != PathKind::Folder) return false;
    const std::string real_source = RealPath(source);
    const std::size_t separator = target.find_last_of("\\/");
    if (real_source.empty() || separator == std::string::npos) return false;
    const std::string real_folder = RealPath(target.substr(0, separator + 1));
    // Both as the system spells them, so the comparison is exact.
    return real_folder.size() >= real_source.size() && real_folder.compare(0, real_source.size(), real_source) == 0 &&
           (real_folder.size() == real_source.size() || real_folder[real_source.size()] == '\\');
  }
};

}  // namespace

std::unique_ptr<FileOperations> MakeSystemFileOperations() { return std::make_unique<Win32FileOperations>(); }

}  // namespace quellor::platform
