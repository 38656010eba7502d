#include <windows.h>
#include <winioctl.h>

#include "platform/read_only_file.h"
#include "platform/win32/drive_letter_win32.h"
#include "platform/win32/long_path_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::platform {

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::Open(const std::string& path, int& error) {
  const std::optional<std::wstring> wide = win32::WideName(path);
  if (!wide) {
    error = ERROR_INVALID_NAME;
    return nullptr;
  }
  HANDLE handle = CreateFileW(win32::SystemPath(*wide).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = static_cast<int>(GetLastError());
    return nullptr;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle, &size)) {
    error = static_cast<int>(GetLastError());
    CloseHandle(handle);
    return nullptr;
  }
  return std::unique_ptr<ReadOnlyFile>(
      new ReadOnlyFile(reinterpret_cast<std::intptr_t>(handle), static_cast<std::uint64_t>(size.QuadPart)));
}

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::OpenVolume(const std::string& root, int& error) {
  const std::optional<wchar_t> letter = win32::DriveLetterOf(root);
  if (!letter) {
    error = ERROR_INVALID_NAME;
    return nullptr;
  }
  const wchar_t device[] = {L'\\', L'\\', L'.', L'\\', *letter, L':', L'\0'};
  HANDLE handle =
      CreateFileW(device, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = static_cast<int>(GetLastError());
    return nullptr;
  }
  // A volume's handle has no file size; the disk driver tells its length.
  GET_LENGTH_INFORMATION length{};
  DWORD returned = 0;
  if (!DeviceIoControl(handle, IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &length, sizeof length, &returned, nullptr)) {
    error = static_cast<int>(GetLastError());
    CloseHandle(handle);
    return nullptr;
  }
  return std::unique_ptr<ReadOnlyFile>(
      new ReadOnlyFile(reinterpret_cast<std::intptr_t>(handle), static_cast<std::uint64_t>(length.Length.QuadPart)));
}

ReadOnlyFile::~ReadOnlyFile() { CloseHandle(reinterpret_cast<HANDLE>(handle_)); }

bool ReadOnlyFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) const {
  auto* out = static_cast<char*>(buffer);
  while (size > 0) {
    const DWORD ask = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), out, ask, &got, &at) || got == 0) return false;
    out += got;
    offset += got;
    size -= got;
  }
  return true;
}

}  // namespace quellor::platform
