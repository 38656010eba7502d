// Handles on files and folders, opened by the long form of their paths: what
// the file system's calls ask of an item itself (its kind, identity and real
// path) and the check that a handle is on the item that was asked for.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/file_system.h"

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

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// CreateFileW of an existing item, by the long form of its path.
HANDLE OpenExisting(const std::wstring& path, DWORD access, DWORD share, DWORD flags);

// A handle on the file or folder `path` leads to (links followed), for its
// identity and real path only; it lets others read, write and delete.
HANDLE OpenForAttributes(const std::wstring& path);

// Which item `path` leads to: volume serial and file index.
std::optional<FileIdentity> IdentityAt(const std::wstring& path);

// The path of the item `handle` is on, links resolved, as "D:\..." or
// "\\server\share\..."; empty when the system cannot tell.
std::wstring RealPathOf(HANDLE handle);

// Whether `handle`, opened by `path`, is on the item `found` describes: of its
// kind, and by the name it was opened with. Wine goes through a Unix
// symbolic link for every call, even one asked not to follow it: its handle
// is then on what the link leads to, under that item's name.
bool IsTheItem(HANDLE handle, const std::wstring& path, PathKind found);

}  // namespace quellor::platform::win32
