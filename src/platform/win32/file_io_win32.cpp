#include <windows.h>

#include <string>

#include "platform/file_io.h"
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

bool WriteWholeFileReplacing(const std::string& path, std::string_view bytes) {
  const std::optional<std::wstring> target = win32::WideName(path);
  if (!target) return false;
  const std::wstring temp = *target + L"." + std::to_wstring(GetCurrentProcessId()) + L"." +
                            std::to_wstring(GetTickCount()) + L".tmp";
  if (temp.size() >= MAX_PATH) return false;
  // Held exclusively while it is written.
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  while (ok && !bytes.empty()) {
    DWORD put = 0;
    ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) && put > 0;
    bytes.remove_prefix(put);
  }
  ok = ok && FlushFileBuffers(file);
  ok = CloseHandle(file) && ok;
  if (ok) ok = MoveFileExW(temp.c_str(), target->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileW(temp.c_str());
  return ok;
}

}  // namespace quellor::platform
