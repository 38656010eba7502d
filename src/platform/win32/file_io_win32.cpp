#include <windows.h>

#include <string>

#include "platform/file_io.h"
#include "platform/win32/long_path_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::platform {

std::optional<std::string> ReadWholeFile(const std::string& path) {
  const std::optional<std::wstring> wide = win32::WideName(path);
  if (!wide) return std::nullopt;
  HANDLE file = CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
      CloseHandle(file);
      return std::nullopt;
    }
    if (got == 0) break;
    bytes.append(buffer, got);
  }
  CloseHandle(file);
  return bytes;
}

bool RemoveStoredFile(const std::string& path) {
  const std::optional<std::wstring> wide = win32::WideName(path);
  if (!wide) return false;
  if (DeleteFileW(win32::SystemPath(*wide).c_str())) return true;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace quellor::platform
