#include <windows.h>

#include "platform/append_file.h"
#include "platform/win32/long_path_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::platform {

namespace {

class Win32AppendFile final : public AppendFile {
 public:
  explicit Win32AppendFile(HANDLE file) : file_(file) {}
  ~Win32AppendFile() override { CloseHandle(file_); }
  Win32AppendFile(const Win32AppendFile&) = delete;
  Win32AppendFile& operator=(const Win32AppendFile&) = delete;

  bool Append(std::string_view line) override {
    DWORD put = 0;
    // A second write for the rest would make two pieces of one line: a short
    // write is a failure, and the reader ignores the torn end.
    return WriteFile(file_, line.data(), static_cast<DWORD>(line.size()), &put, nullptr) && put == line.size();
  }

 private:
  HANDLE file_;
};

}  // namespace

std::unique_ptr<AppendFile> OpenForAppending(const std::string& path) {
  const std::optional<std::wstring> wide = win32::WideName(path);
  if (!wide) return nullptr;
  // FILE_APPEND_DATA alone: every write lands at the end, whoever else appends.
  HANDLE file = CreateFileW(win32::SystemPath(*wide).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32AppendFile>(file);
}

}  // namespace quellor::platform
