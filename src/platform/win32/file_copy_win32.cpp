#include "platform/win32/file_copy_win32.h"

#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/file_name_case.h"
#include "platform/system_charset.h"
#include "platform/win32/file_handle_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::platform::win32 {

namespace {

// What a copy keeps of a file's attributes; the system marks a new file for archiving itself.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kCopyBlock = 1 << 18;

// The attributes of the item at `path` itself (a link is not followed).
DWORD AttributesOf(const std::wstring& path) { return GetFileAttributesW(SystemPath(path).c_str()); }

bool IsFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
  if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) return folder + name;
  return folder + L'\\' + name;
}

// The folder part of `path` with its separator: "D:\a\" of "D:\a\b.txt"; empty for a bare name.
std::wstring FolderPart(const std::wstring& path) {
  const std::size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

struct FolderItem {
  std::wstring name;
  DWORD attributes;
  std::uint64_t size;
};

// The items of `folder` without "." and ".."; 0, or the error that kept some unread.
DWORD ListFolder(const std::wstring& folder, std::vector<FolderItem>& items) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW(SystemPath(Join(folder, L"*")).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                 nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) {
    // An empty drive root has no entry at all, not even ".".
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? 0 : error;
  }
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    items.push_back(FolderItem{name, data.dwFileAttributes,
                               (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow});
  } while (FindNextFileW(find, &data));
  const DWORD error = GetLastError();
  FindClose(find);
  return error == ERROR_NO_MORE_FILES ? 0 : error;
}

bool SameItem(const std::wstring& one, const std::wstring& other) {
  const std::optional<FileIdentity> one_identity = IdentityAt(one);
  return one_identity && one_identity == IdentityAt(other);
}

bool WriteAll(HANDLE file, const char* bytes, DWORD size) {
  while (size > 0) {
    DWORD put = 0;
    if (!WriteFile(file, bytes, size, &put, nullptr)) return false;
    if (put == 0) {
      SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    bytes += put;
    size -= put;
  }
  return true;
}

// A new file in the folder of `target` that nothing else names, held without
// sharing while it is written; its name in `temp`.
HANDLE CreateTemporaryBeside(const std::wstring& target, std::wstring& temp) {
  static std::atomic<unsigned> counter{0};
  const std::wstring folder = FolderPart(target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = folder + L".quellor-copy-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
    HANDLE file = CreateFileW(SystemPath(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

// A temporary file that is not to become the target. Should this fail, what
// remains lies under its temporary name, never under the target's.
void Discard(const std::wstring& temp) {
  const std::wstring path = SystemPath(temp);
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());
}

DWORD CopyFileContent(const std::wstring& source, const std::wstring& target) {
  Handle in(OpenExisting(source, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, FILE_FLAG_SEQUENTIAL_SCAN));
  if (!in.valid()) return GetLastError();
  // A device or pipe under a file's name: reading it could block for ever or never end.
  if (GetFileType(in.get()) != FILE_TYPE_DISK) return ERROR_BAD_FILE_TYPE;
  BY_HANDLE_FILE_INFORMATION from{};
  if (!GetFileInformationByHandle(in.get(), &from)) return GetLastError();
  std::wstring temp;
  Handle out(CreateTemporaryBeside(target, temp));
  if (!out.valid()) return GetLastError();

  DWORD status = 0;
  std::vector<char> block(kCopyBlock);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(in.get(), block.data(), kCopyBlock, &got, nullptr)) {
      status = GetLastError();
      break;
    }
    if (got == 0) break;
    if (!WriteAll(out.get(), block.data(), got)) {
      status = GetLastError();
      break;
    }
  }
  if (status == 0 && !SetFileTime(out.get(), nullptr, nullptr, &from.ftLastWriteTime)) status = GetLastError();
  // On the disk before it takes the final name: a power cut never leaves that name on a part.
  if (status == 0 && !FlushFileBuffers(out.get())) status = GetLastError();
  if (!out.Close() && status == 0) status = GetLastError();
  in.Close();
  const DWORD kept = from.dwFileAttributes & kKeptAttributes;
  if (status == 0 && kept != 0 && !SetFileAttributesW(SystemPath(temp).c_str(), kept)) status = GetLastError();
  if (status == 0 && !MoveFileExW(SystemPath(temp).c_str(), SystemPath(target).c_str(),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    status = GetLastError();
  }
  if (status != 0) Discard(temp);
  return status;
}

// The folder's modification time as its source's, set last, as filling it changed it.
DWORD KeepFolderTime(const std::wstring& source, const std::wstring& target) {
  const Handle from(OpenExisting(source, FILE_READ_ATTRIBUTES, kShareAll, FILE_FLAG_BACKUP_SEMANTICS));
  if (!from.valid()) return GetLastError();
  const Handle to(OpenExisting(target, FILE_WRITE_ATTRIBUTES, kShareAll, FILE_FLAG_BACKUP_SEMANTICS));
  if (!to.valid()) return GetLastError();
  FILETIME written{};
  if (!GetFileTime(from.get(), nullptr, nullptr, &written) || !SetFileTime(to.get(), nullptr, nullptr, &written)) {
    return GetLastError();
  }
  return 0;
}

// `from`: the source's attributes, as its folder's listing gave them.
DWORD CopyTree(const std::wstring& source, DWORD from, const std::wstring& target) {
  const DWORD to = AttributesOf(target);
  const bool target_exists = to != INVALID_FILE_ATTRIBUTES;
  if (target_exists && SameItem(source, target)) return ERROR_INVALID_PARAMETER;
  if (!IsFolder(from)) return IsFolder(to) ? ERROR_ALREADY_EXISTS : CopyFileContent(source, target);
  // A linked folder may lead to its own parent: a copy of it could never end.
  if (IsLink(from)) return ERROR_CANT_ACCESS_FILE;
  if (target_exists && !IsFolder(to)) return ERROR_ALREADY_EXISTS;
  if (!target_exists && !CreateDirectoryW(SystemPath(target).c_str(), nullptr)) return GetLastError();
  std::vector<FolderItem> items;
  DWORD status = ListFolder(source, items);
  for (const FolderItem& item : items) {
    const DWORD child = CopyTree(Join(source, item.name), item.attributes, Join(target, item.name));
    if (status == 0) status = child;
  }
  if (target_exists) return status;  // merged into a folder that keeps its own time
  const DWORD timed = KeepFolderTime(source, target);
  return status != 0 ? status : timed;
}

// Removes the item at `path` (of `attributes`), a read-only one too, as the shell's delete does.
DWORD RemoveTree(const std::wstring& path, DWORD attributes) {
  const std::wstring system = SystemPath(path);
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    const DWORD rest = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    if (!SetFileAttributesW(system.c_str(), rest != 0 ? rest : FILE_ATTRIBUTE_NORMAL)) return GetLastError();
  }
  if (!IsFolder(attributes)) return DeleteFileW(system.c_str()) ? 0 : GetLastError();
  DWORD status = 0;
  // A linked folder: the link goes, never what it leads to.
  if (!IsLink(attributes)) {
    std::vector<FolderItem> items;
    status = ListFolder(path, items);
    for (const FolderItem& item : items) {
      const DWORD child = RemoveTree(Join(path, item.name), item.attributes);
      if (status == 0) status = child;
    }
  }
  if (!RemoveDirectoryW(system.c_str()) && status == 0) status = GetLastError();
  return status;
}

// Names as the file system compares them: a replaced file may keep the letter case it had.
std::string ContentKey(const std::wstring& name) { return FoldFileNameCase(NameCharset(), Utf8Name(name.c_str())); }

// The size of what a linked file leads to: the copy holds that content.
std::optional<std::uint64_t> FollowedSize(const std::wstring& path) {
  const Handle file(OpenExisting(path, FILE_READ_ATTRIBUTES, kShareAll, 0));
  LARGE_INTEGER size{};
  if (!file.valid() || !GetFileSizeEx(file.get(), &size)) return std::nullopt;
  return static_cast<std::uint64_t>(size.QuadPart);
}

bool AddContent(const std::wstring& path, DWORD attributes, std::uint64_t size, const std::string& key,
                TreeContent& content) {
  if (!IsFolder(attributes)) {
    if (IsLink(attributes)) {
      const std::optional<std::uint64_t> followed = FollowedSize(path);
      if (!followed) return false;
      size = *followed;
    }
    content.files[key] = size;
    return true;
  }
  if (IsLink(attributes)) return true;  // never copied
  std::vector<FolderItem> items;
  if (ListFolder(path, items) != 0) return false;
  for (const FolderItem& item : items) {
    const std::string name = ContentKey(item.name);
    if (!AddContent(Join(path, item.name), item.attributes, item.size, key.empty() ? name : key + "\\" + name,
                    content)) {
      return false;
    }
  }
  return true;
}

bool HoldsAllOf(const std::wstring& target, const std::wstring& source) {
  const std::optional<TreeContent> expected = ContentAt(source);
  const std::optional<TreeContent> copy = ContentAt(target);
  return expected && copy && MatchContent(*expected, *copy).Whole();
}

DWORD MoveTree(const std::wstring& source, DWORD from, const std::wstring& target) {
  const DWORD to = AttributesOf(target);
  const bool target_exists = to != INVALID_FILE_ATTRIBUTES;
  if (target_exists && SameItem(source, target)) return 0;
  if (target_exists && IsFolder(to) != IsFolder(from)) return ERROR_ALREADY_EXISTS;
  if (!target_exists || !IsFolder(from)) {
    const DWORD replace = IsFolder(from) ? 0 : MOVEFILE_REPLACE_EXISTING;
    if (MoveFileExW(SystemPath(source).c_str(), SystemPath(target).c_str(), replace | MOVEFILE_WRITE_THROUGH)) {
      return 0;
    }
    const DWORD renamed = GetLastError();
    if (renamed != ERROR_NOT_SAME_DEVICE) return renamed;
    // Another volume: a copy, and the source goes only once the target is seen to hold all of it.
    const DWORD copied = CopyTree(source, from, target);
    if (copied != 0) return copied;
    return HoldsAllOf(target, source) ? RemoveTree(source, from) : ERROR_WRITE_FAULT;
  }
  // A folder onto a folder: merged, item by item.
  std::vector<FolderItem> items;
  DWORD status = ListFolder(source, items);
  for (const FolderItem& item : items) {
    const DWORD child = MoveTree(Join(source, item.name), item.attributes, Join(target, item.name));
    if (status == 0) status = child;
  }
  if (status == 0 && !RemoveDirectoryW(SystemPath(source).c_str())) status = GetLastError();
  return status;
}

}  // namespace

DWORD CopyItem(const std::wstring& source, const std::wstring& target) {
  const DWORD from = AttributesOf(source);
  if (from == INVALID_FILE_ATTRIBUTES) return GetLastError();
  return CopyTree(source, from, target);
}

DWORD MoveItem(const std::wstring& source, const std::wstring& target) {
  const DWORD from = AttributesOf(source);
  if (from == INVALID_FILE_ATTRIBUTES) return GetLastError();
  return MoveTree(source, from, target);
}

std::optional<TreeContent> ContentAt(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (path.empty() || !GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data)) {
    return std::nullopt;
  }
  TreeContent content;
  content.folder = IsFolder(data.dwFileAttributes);
  const std::uint64_t size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  if (!AddContent(path, data.dwFileAttributes, size, "", content)) return std::nullopt;
  return content;
}

}  // namespace quellor::platform::win32
