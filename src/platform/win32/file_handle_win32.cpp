#include "platform/win32/file_handle_win32.h"

#include "platform/win32/long_path_win32.h"
#include "platform/win32/reparse_point_win32.h"

namespace quellor::platform::win32 {

namespace {

std::wstring StrippedName(std::wstring name) {
  // The name a handle reports may lack the trailing dots and spaces that the
  // name it was opened by has (Wine's does).
  while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
  return name;
}

bool SameName(const std::wstring& one, const std::wstring& other) {
  return CompareStringOrdinal(one.data(), static_cast<int>(one.size()), other.data(), static_cast<int>(other.size()),
                              TRUE) == CSTR_EQUAL;
}

// `path` cut at its last separator: the folder (without the separator) and the name.
std::pair<std::wstring, std::wstring> FolderAndName(const std::wstring& path) {
  const std::size_t cut = path.find_last_of(L"\\/");
  if (cut == std::wstring::npos) return {L".", path};
  return {path.substr(0, cut), path.substr(cut + 1)};
}

std::wstring WithoutTrailingSeparator(std::wstring path) {
  while (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  return path;
}

// The real path of `folder`, the last one asked kept: the items of one
// folder are checked one after another.
std::wstring RealFolder(const std::wstring& folder) {
  thread_local std::wstring last_folder;
  thread_local std::wstring last_real;
  if (folder != last_folder || last_real.empty()) {
    const Handle parent(OpenForAttributes(folder));
    last_real = parent.valid() ? WithoutTrailingSeparator(RealPathOf(parent.get())) : std::wstring();
    last_folder = folder;
  }
  return last_real;
}

}  // namespace

bool Handle::Close() {
  if (!valid()) return true;
  const bool closed = CloseHandle(handle_) != 0;
  handle_ = INVALID_HANDLE_VALUE;
  return closed;
}

HANDLE OpenExisting(const std::wstring& path, DWORD access, DWORD share, DWORD flags) {
  return CreateFileW(SystemPath(path).c_str(), access, share, nullptr, OPEN_EXISTING, flags, nullptr);
}

HANDLE OpenForAttributes(const std::wstring& path) {
  return OpenExisting(path, FILE_READ_ATTRIBUTES, kShareAll, FILE_FLAG_BACKUP_SEMANTICS);
}

std::optional<FileIdentity> IdentityAt(const std::wstring& path) {
  const Handle item(OpenForAttributes(path));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!item.valid() || !GetFileInformationByHandle(item.get(), &info)) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber,
                      (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

std::wstring RealPathOf(HANDLE handle) {
  std::wstring real(MAX_PATH + 8, L'\0');
  for (;;) {
    const DWORD size =
        GetFinalPathNameByHandleW(handle, real.data(), static_cast<DWORD>(real.size()), FILE_NAME_NORMALIZED);
    if (size == 0) return {};
    if (size < real.size()) {
      real.resize(size);
      break;
    }
    real.resize(size + 1);  // the size it needs, its terminating zero included
  }
  // "\\?\D:\..." and "\\?\UNC\server\share\..." as the program writes paths.
  if (real.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\" + real.substr(7);
  if (real.rfind(L"\\\\?\\", 0) == 0) return real.substr(4);
  return real;
}

bool IsTheItem(HANDLE handle, const std::wstring& path, PathKind found) {
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag)) return false;
  if (EntryKind(tag.FileAttributes, tag.ReparseTag) != found) return false;
  // The handle's item must be the one of that name in the folder the path
  // names, links on the way to that folder resolved. Where the system
  // cannot tell a handle's path (some network file systems), its kind is all
  // there is to go by.
  const std::wstring real = RealPathOf(handle);
  const auto [folder, name] = FolderAndName(path);
  const std::wstring real_folder = RealFolder(folder);
  if (real.empty() || real_folder.empty()) return true;
  const auto [real_parent, real_name] = FolderAndName(real);
  return SameName(WithoutTrailingSeparator(real_parent), real_folder) &&
         SameName(StrippedName(real_name), StrippedName(name));
}

}  // namespace quellor::platform::win32
