#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdint>
#include <string>

#include "platform/recycle_bin_path.h"
#include "platform/shell.h"
#include "platform/win32/bound_function_win32.h"
#include "platform/win32/long_path_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::platform {

namespace {

// The shell parses the path itself: one it would read as another, or that
// GetFullPathNameW changes (the shell's own parse), is not given to it. Nor
// is one in the system folder that a 32-bit program on 64-bit Windows sees
// redirected: the shell would act on the 32-bit twin, not on the row's item.
RecycleOutcome CheckShellPath(const std::wstring& path) {
  const RecycleOutcome outcome = CheckRecycleBinPath(std::u16string_view(
      reinterpret_cast<const char16_t*>(path.data()), path.size()));
  if (outcome != RecycleOutcome::Handed) return outcome;
  if (win32::SystemPath(path) != win32::LongPath(path)) return RecycleOutcome::NameNotTaken;
  wchar_t full[kShellPathLimit] = {};
  const DWORD length = GetFullPathNameW(path.c_str(), kShellPathLimit, full, nullptr);
  if (length == 0 || length >= kShellPathLimit || path != std::wstring(full, length)) {
    return RecycleOutcome::NameNotTaken;
  }
  return RecycleOutcome::Handed;
}

// Where the shell would delete for good instead: a network drive, or a drive
// whose recycle bin cannot be queried (none kept, or none at all).
RecycleOutcome CheckDriveBin(const std::wstring& path) {
  const std::wstring root = path.substr(0, 3);  // "D:\", as CheckRecycleBinPath saw
  if (GetDriveTypeW(root.c_str()) == DRIVE_REMOTE) return RecycleOutcome::NetworkDrive;
  SHQUERYRBINFO bin{};
  bin.cbSize = sizeof bin;
  if (FAILED(QUELLOR_BOUND(shell32, SHQueryRecycleBinW)(root.c_str(), &bin))) return RecycleOutcome::NoBin;
  return RecycleOutcome::Handed;
}

class Win32Shell final : public Shell {
 public:
  bool Open(const std::string& path, ShellVerb verb) override {
    const std::optional<std::wstring> wide = win32::WideName(path);
    if (!wide) return false;
    const wchar_t* operation = verb == ShellVerb::Open ? L"open" : nullptr;
    const HINSTANCE result = QUELLOR_BOUND(shell32, ShellExecuteW)(nullptr, operation, wide->c_str(), nullptr,
                                                                   nullptr, SW_SHOWNORMAL);
    // Values above 32 mean success.
    return reinterpret_cast<std::intptr_t>(result) > 32;
  }

  bool ShowInFolder(const std::string& path) override {
    const std::optional<std::wstring> wide = win32::WideName(path);
    if (!wide) return false;
    PIDLIST_ABSOLUTE item = QUELLOR_BOUND(shell32, ILCreateFromPathW)(wide->c_str());
    if (item == nullptr) return false;
    const HRESULT result = QUELLOR_BOUND(shell32, SHOpenFolderAndSelectItems)(item, 0, nullptr, 0);
    QUELLOR_BOUND(shell32, ILFree)(item);
    return SUCCEEDED(result);
  }

  RecycleOutcome MoveToRecycleBin(const std::string& path) override {
    const std::optional<std::wstring> wide = win32::WideName(path);
    if (!wide) return RecycleOutcome::NameNotTaken;
    RecycleOutcome outcome = CheckShellPath(*wide);
    if (outcome == RecycleOutcome::Handed) outcome = CheckDriveBin(*wide);
    if (outcome != RecycleOutcome::Handed) return outcome;
    // One item per call, so each has its own outcome; the list ends in two
    // NULs (the string's own is the second). The shell deletes for good what
    // its bin cannot take (too large, a bin turned off): FOF_WANTNUKEWARNING
    // makes it ask the user then, in spite of FOF_NOCONFIRMATION. What the
    // call returns is not trusted: the caller looks whether the item went.
    std::wstring list = *wide;
    list.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT | FOF_WANTNUKEWARNING;
    QUELLOR_BOUND(shell32, SHFileOperationW)(&operation);
    return RecycleOutcome::Handed;
  }
};

}  // namespace

std::unique_ptr<Shell> MakeSystemShell() { return std::make_unique<Win32Shell>(); }

}  // namespace quellor::platform
