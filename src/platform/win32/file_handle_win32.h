// Handles on files and folders for what the file operations ask of an item
// itself: its attributes, identity and real path. Paths past MAX_PATH are
// given to the system in their long form.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/file_operations.h"

namespace quellor::platform::win32 {

// A handle that is closed when it goes.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  // False when the system reports a failure, for a written file data it could not store.
  bool Close();

 private:
  HANDLE handle_;
};

// `path` as the system takes it whole: past MAX_PATH in its long form, which
// a folder copied deep into another may reach.
std::wstring SystemPath(const std::wstring& path);

// CreateFileW of an existing item, by its system path.
HANDLE OpenExisting(const std::wstring& path, DWORD access, DWORD share, DWORD flags);

// A handle on the file or folder `path` leads to (links followed), for its
// identity and real path only; it lets others read, write and delete.
HANDLE OpenForAttributes(const std::wstring& path);

// Which item `path` leads to: volume serial and file index.
std::optional<FileIdentity> IdentityAt(const std::wstring& path);

}  // namespace quellor::platform::win32
