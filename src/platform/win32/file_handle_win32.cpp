#include "platform/win32/file_handle_win32.h"

namespace quellor::platform::win32 {

bool Handle::Close() {
  if (!valid()) return true;
  const bool closed = CloseHandle(handle_) != 0;
  handle_ = INVALID_HANDLE_VALUE;
  return closed;
}

std::wstring SystemPath(const std::wstring& path) {
  if (path.size() < MAX_PATH || path.rfind(L"\\\\?\\", 0) == 0) return path;
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

HANDLE OpenExisting(const std::wstring& path, DWORD access, DWORD share, DWORD flags) {
  return CreateFileW(SystemPath(path).c_str(), access, share, nullptr, OPEN_EXISTING, flags, nullptr);
}

HANDLE OpenForAttributes(const std::wstring& path) {
  return OpenExisting(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      FILE_FLAG_BACKUP_SEMANTICS);
}

std::optional<FileIdentity> IdentityAt(const std::wstring& path) {
  const Handle item(OpenForAttributes(path));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!item.valid() || !GetFileInformationByHandle(item.get(), &info)) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber,
                      (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

}  // namespace quellor::platform::win32
