#include <windows.h>

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/win32/file_copy_win32.h"
#include "platform/win32/file_handle_win32.h"
#include "platform/win32/long_path_win32.h"
#include "platform/win32/reparse_point_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::platform {

namespace {

int LastError() { return static_cast<int>(GetLastError()); }

// The codes the rules tell apart.
int Code(DWORD error) {
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return kTargetTaken;
  return error == ERROR_NOT_SAME_DEVICE ? kOtherVolume : static_cast<int>(error);
}

ItemState StateOf(const WIN32_FIND_DATAW& data) {
  ItemState state;
  state.kind = win32::EntryKind(data.dwFileAttributes, data.dwReserved0);
  state.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  state.modified = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                             data.ftLastWriteTime.dwLowDateTime);
  return state;
}

ItemState UnknownState(DWORD error) {
  ItemState state;
  state.kind = PathKind::Unknown;
  state.error = static_cast<int>(error);
  return state;
}

// The path the system takes, or nothing for a path that is not UTF-8.
std::optional<std::wstring> SystemPathOf(const std::string& path) {
  std::optional<std::wstring> wide = win32::WideName(path);
  if (!wide || wide->empty()) return std::nullopt;
  return win32::SystemPath(*wide);
}

// The tag of the reparse point at `path`; 0 (a link, by the rule) when it cannot be read.
DWORD ReparseTagOf(const std::wstring& path) {
  const win32::Handle item(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, win32::kShareAll, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!item.valid() || !GetFileInformationByHandleEx(item.get(), FileAttributeTagInfo, &tag, sizeof tag)) return 0;
  return tag.ReparseTag;
}

// A handle on the item `path` itself (a link not followed), checked to be
// the item `found` saw.
class ItemHandle {
 public:
  ItemHandle(const std::wstring& path, DWORD access, PathKind found) : handle_(Open(path, access)) {
    if (!handle_.valid()) {
      code_ = LastError();
    } else if (!win32::IsTheItem(handle_.get(), path, found)) {
      code_ = kNotTheItem;
    }
  }
  // 0 when the handle is on the item.
  int code() const { return code_; }
  HANDLE get() const { return handle_.get(); }
  bool Close() { return handle_.Close(); }

 private:
  static HANDLE Open(const std::wstring& path, DWORD access) {
    constexpr DWORD kItself = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;
    HANDLE handle = CreateFileW(path.c_str(), access, win32::kShareAll, nullptr, OPEN_EXISTING, kItself, nullptr);
    // Where attributes may not be written, the item is still worked on without.
    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED && (access & FILE_WRITE_ATTRIBUTES)) {
      handle = CreateFileW(path.c_str(), access & ~static_cast<DWORD>(FILE_WRITE_ATTRIBUTES), win32::kShareAll,
                           nullptr, OPEN_EXISTING, kItself, nullptr);
    }
    return handle;
  }

  win32::Handle handle_;
  int code_ = 0;
};

class Win32FileSystem final : public FileSystem {
 public:
  ItemState Look(const std::string& path) const override {
    const std::optional<std::wstring> system_path = SystemPathOf(path);
    if (!system_path) return path.empty() ? ItemState{} : UnknownState(ERROR_INVALID_NAME);
    // By its attributes, not a listing: a listing takes the name for a
    // pattern, in which "a.txt." would also find "a.txt".
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(system_path->c_str(), GetFileExInfoStandard, &data)) {
      const DWORD error = GetLastError();
      // A name the system refuses names nothing; a server that does not answer says nothing of it.
      const bool absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME;
      return absent ? ItemState{} : UnknownState(error);
    }
    WIN32_FIND_DATAW found{};
    found.dwFileAttributes = data.dwFileAttributes;
    found.nFileSizeHigh = data.nFileSizeHigh;
    found.nFileSizeLow = data.nFileSizeLow;
    found.ftLastWriteTime = data.ftLastWriteTime;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) found.dwReserved0 = ReparseTagOf(*system_path);
    return StateOf(found);
  }

  int List(const std::string& folder, std::vector<FolderItem>& items) const override {
    const std::optional<std::wstring> system_path = SystemPathOf(folder);
    if (!system_path) return ERROR_INVALID_NAME;
    // A listing goes through a link: a folder swapped for one since it was
    // looked at would list, and lead a removal into, what the link leads to.
    if (Look(folder).kind != PathKind::Folder) return kNotTheItem;
    std::wstring pattern = *system_path;
    if (pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW data{};
    const HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
      // An empty drive root has no entry at all, not even ".".
      const DWORD error = GetLastError();
      return error == ERROR_FILE_NOT_FOUND ? 0 : static_cast<int>(error);
    }
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      items.push_back(FolderItem{win32::Utf8Name(data.cFileName), StateOf(data)});
    } while (FindNextFileW(find, &data));
    const DWORD error = GetLastError();
    FindClose(find);
    return error == ERROR_NO_MORE_FILES ? 0 : static_cast<int>(error);
  }

  std::optional<FileIdentity> IdentityOf(const std::string& path) const override {
    const std::optional<std::wstring> system_path = SystemPathOf(path);
    return system_path ? win32::IdentityAt(*system_path) : std::nullopt;
  }

  std::string RealPath(const std::string& path) const override {
    const std::optional<std::wstring> system_path = SystemPathOf(path);
    if (!system_path) return {};
    const win32::Handle item(win32::OpenForAttributes(*system_path));
    return item.valid() ? win32::Utf8Name(win32::RealPathOf(item.get()).c_str()) : std::string();
  }

  int CreateFolder(const std::string& path) override {
    const std::optional<std::wstring> system_path = SystemPathOf(path);
    if (!system_path) return ERROR_INVALID_NAME;
    return CreateDirectoryW(system_path->c_str(), nullptr) ? 0 : Code(GetLastError());
  }

  int CopyFile(const std::string& source, const ItemState& found, const std::string& target, bool replace,
               ItemState& copied) override {
    const std::optional<std::wstring> from = SystemPathOf(source);
    const std::optional<std::wstring> to = SystemPathOf(target);
    if (!from || !to) return ERROR_INVALID_NAME;
    if (found.kind != PathKind::File) return kNotTheItem;
    return win32::CopyFileContent(*from, *to, replace, copied);
  }

  // Making a link takes a privilege most users lack, and a copy of a
  // junction would lead the copy into what the original leads to.
  int CopyLink(const std::string&, const std::string&) override { return kLinkNotCopied; }

  int Rename(const std::string& source, const ItemState& found, const std::string& target, bool replace) override {
    const std::optional<std::wstring> from = SystemPathOf(source);
    const std::optional<std::wstring> to = SystemPathOf(target);
    if (!from || !to) return ERROR_INVALID_NAME;
    // Held while it is renamed, so the name cannot be given to another item meanwhile.
    const ItemHandle item(*from, FILE_READ_ATTRIBUTES, found.kind);
    if (item.code() != 0) return item.code();
    const DWORD over = replace && found.kind == PathKind::File ? MOVEFILE_REPLACE_EXISTING : 0;
    return MoveFileExW(from->c_str(), to->c_str(), over) ? 0 : Code(GetLastError());
  }

  int Remove(const std::string& path, const ItemState& found) override {
    const std::optional<std::wstring> system_path = SystemPathOf(path);
    if (!system_path) return ERROR_INVALID_NAME;
    ItemHandle item(*system_path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, found.kind);
    if (item.code() != 0) return item.code();
    // A read-only file is removed as well, as the shell's delete does.
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(item.get(), FileBasicInfo, &basic, sizeof basic)) return LastError();
    const bool read_only = (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (read_only) {
      FILE_BASIC_INFO writable = basic;
      writable.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
      if (writable.FileAttributes == 0) writable.FileAttributes = FILE_ATTRIBUTE_NORMAL;
      writable.CreationTime.QuadPart = writable.LastAccessTime.QuadPart = 0;
      writable.LastWriteTime.QuadPart = writable.ChangeTime.QuadPart = 0;
      if (!SetFileInformationByHandle(item.get(), FileBasicInfo, &writable, sizeof writable)) return LastError();
    }
    FILE_DISPOSITION_INFO gone{TRUE};
    if (!SetFileInformationByHandle(item.get(), FileDispositionInfo, &gone, sizeof gone)) {
      const int error = LastError();
      if (read_only) {
        basic.CreationTime.QuadPart = basic.LastAccessTime.QuadPart = 0;
        basic.LastWriteTime.QuadPart = basic.ChangeTime.QuadPart = 0;
        SetFileInformationByHandle(item.get(), FileBasicInfo, &basic, sizeof basic);
      }
      return error;
    }
    return item.Close() ? 0 : LastError();
  }

  int CopyFolderTimes(const std::string& source, const std::string& target) override {
    const std::optional<std::wstring> from = SystemPathOf(source);
    const std::optional<std::wstring> to = SystemPathOf(target);
    if (!from || !to) return ERROR_INVALID_NAME;
    return win32::CopyFolderTime(*from, *to);
  }

  char Separator() const override { return '\\'; }
  bool NamesIgnoreCase() const override { return true; }
};

}  // namespace

std::unique_ptr<FileSystem> MakeSystemFileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace quellor::platform
