#include "platform/win32/file_copy_win32.h"

#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/file_system.h"
#include "platform/win32/file_handle_win32.h"
#include "platform/win32/long_path_win32.h"

namespace quellor::platform::win32 {

namespace {

// What a copy keeps of a file's attributes; the system marks a new file for archiving itself.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kCopyBlock = 1 << 18;

// The folder part of `path` with its separator: "D:\a\" of "D:\a\b.txt"; empty for a bare name.
std::wstring FolderPart(const std::wstring& path) {
  const std::size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
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

}  // namespace

int CopyFileContent(const std::wstring& source, const std::wstring& target, bool replace, ItemState& copied) {
  // Opened as a reader opens it, so a placeholder or deduplicated file gives
  // its content; a link put there since it was listed leads the handle to
  // another item, which the check below refuses.
  Handle in(OpenExisting(source, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, FILE_FLAG_SEQUENTIAL_SCAN));
  if (!in.valid()) return static_cast<int>(GetLastError());
  // A device or pipe under a file's name could block for ever or never end.
  if (GetFileType(in.get()) != FILE_TYPE_DISK || !IsTheItem(in.get(), source, PathKind::File)) return kNotTheItem;
  BY_HANDLE_FILE_INFORMATION from{};
  if (!GetFileInformationByHandle(in.get(), &from)) return static_cast<int>(GetLastError());
  std::wstring temp;
  Handle out(CreateTemporaryBeside(target, temp));
  if (!out.valid()) return static_cast<int>(GetLastError());

  int status = 0;
  std::uint64_t bytes = 0;
  std::vector<char> block(kCopyBlock);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(in.get(), block.data(), kCopyBlock, &got, nullptr)) {
      status = static_cast<int>(GetLastError());
      break;
    }
    if (got == 0) break;
    if (!WriteAll(out.get(), block.data(), got)) {
      status = static_cast<int>(GetLastError());
      break;
    }
    bytes += got;
  }
  const auto failed = [] { return static_cast<int>(GetLastError()); };
  // The time once every byte was read: a file written to meanwhile is told apart later.
  if (status == 0 && !GetFileInformationByHandle(in.get(), &from)) status = failed();
  copied.kind = PathKind::File;
  copied.size = bytes;
  copied.modified = static_cast<std::int64_t>((static_cast<std::uint64_t>(from.ftLastWriteTime.dwHighDateTime) << 32) |
                                              from.ftLastWriteTime.dwLowDateTime);
  if (status == 0 && !SetFileTime(out.get(), nullptr, nullptr, &from.ftLastWriteTime)) status = failed();
  // On the disk before it takes the final name: a power cut never leaves that name on a part.
  if (status == 0 && !FlushFileBuffers(out.get())) status = failed();
  if (!out.Close() && status == 0) status = failed();
  in.Close();
  const DWORD kept = from.dwFileAttributes & kKeptAttributes;
  if (status == 0 && kept != 0 && !SetFileAttributesW(SystemPath(temp).c_str(), kept)) status = failed();
  const DWORD over = replace ? MOVEFILE_REPLACE_EXISTING : 0;
  if (status == 0 && !MoveFileExW(SystemPath(temp).c_str(), SystemPath(target).c_str(), over | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = GetLastError();
    status = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? kTargetTaken : static_cast<int>(error);
  }
  if (status != 0) Discard(temp);
  return status;
}

int CopyFolderTime(const std::wstring& source, const std::wstring& target) {
  const Handle from(OpenExisting(source, FILE_READ_ATTRIBUTES, kShareAll, FILE_FLAG_BACKUP_SEMANTICS));
  if (!from.valid()) return static_cast<int>(GetLastError());
  const Handle to(OpenExisting(target, FILE_WRITE_ATTRIBUTES, kShareAll, FILE_FLAG_BACKUP_SEMANTICS));
  if (!to.valid()) return static_cast<int>(GetLastError());
  FILETIME written{};
  if (!GetFileTime(from.get(), nullptr, nullptr, &written) || !SetFileTime(to.get(), nullptr, nullptr, &written)) {
    return static_cast<int>(GetLastError());
  }
  return 0;
}


}  // namespace quellor::platform::win32
