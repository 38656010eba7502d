#include <windows.h>

#include <string>

#include "platform/replacing_file.h"
#include "platform/win32/long_path_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::platform {

struct ReplacingFile::Target {
  HANDLE file = INVALID_HANDLE_VALUE;
  std::wstring path;  // both in the long form: no length limit
  std::wstring temp;
};

namespace {
// Another program's file of the same temporary name is left alone: the next
// number is tried.
constexpr int kTemporaryNamesTried = 100;
}  // namespace

ReplacingFile::ReplacingFile() = default;

ReplacingFile::~ReplacingFile() {
  if (!target_) return;
  if (target_->file != INVALID_HANDLE_VALUE) CloseHandle(target_->file);
  DeleteFileW(target_->temp.c_str());
}

int ReplacingFile::Open(const std::string& path) {
  if (error_ != 0) return error_;
  const std::optional<std::wstring> wide = win32::WideName(path);
  if (!wide) return Fail(ERROR_INVALID_NAME);
  auto target = std::make_unique<Target>();
  target->path = win32::SystemPath(*wide);
  const std::wstring stem = target->path + L"." + std::to_wstring(GetCurrentProcessId()) + L"." +
                            std::to_wstring(GetTickCount()) + L".";
  for (int n = 0; n < kTemporaryNamesTried && target->file == INVALID_HANDLE_VALUE; ++n) {
    target->temp = stem + std::to_wstring(n) + L".tmp";
    // Held exclusively while it is written.
    target->file = CreateFileW(target->temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
    if (target->file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return Fail(GetLastError());
  }
  if (target->file == INVALID_HANDLE_VALUE) return Fail(ERROR_FILE_EXISTS);
  target_ = std::move(target);
  buffer_.reserve(std::size_t{1} << 20);
  return 0;
}

int ReplacingFile::WriteOut(std::string_view bytes) {
  if (!target_) return ERROR_INVALID_HANDLE;
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
    DWORD put = 0;
    if (!WriteFile(target_->file, bytes.data(), chunk, &put, nullptr)) return static_cast<int>(GetLastError());
    if (put == 0) return ERROR_WRITE_FAULT;
    bytes.remove_prefix(put);
  }
  return 0;
}

int ReplacingFile::Finish() {
  if (Flush() == 0 && !target_) Fail(ERROR_INVALID_HANDLE);
  if (error_ == 0 && !FlushFileBuffers(target_->file)) Fail(static_cast<int>(GetLastError()));
  if (target_) {
    const HANDLE file = target_->file;
    target_->file = INVALID_HANDLE_VALUE;
    if (!CloseHandle(file)) Fail(static_cast<int>(GetLastError()));
    if (error_ == 0 && !MoveFileExW(target_->temp.c_str(), target_->path.c_str(),
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      Fail(static_cast<int>(GetLastError()));
    }
    if (error_ != 0) DeleteFileW(target_->temp.c_str());
    target_.reset();
  }
  return error_;
}

}  // namespace quellor::platform
