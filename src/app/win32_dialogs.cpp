#include "app/win32_dialogs.h"

#include <shlobj.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/bound_function_win32.h"

namespace quellor::app {

namespace {

// Every top-level window of this process with its enabled state, disabled
// while a chooser is open and given back its state afterwards.
class DisabledProgramWindows {
 public:
  DisabledProgramWindows() {
    EnumWindows(&Collect, reinterpret_cast<LPARAM>(&windows_));
    for (auto& [window, was_enabled] : windows_) EnableWindow(window, FALSE);
  }
  ~DisabledProgramWindows() {
    for (auto& [window, was_enabled] : windows_) {
      if (IsWindow(window)) EnableWindow(window, was_enabled ? TRUE : FALSE);
    }
  }
  DisabledProgramWindows(const DisabledProgramWindows&) = delete;
  DisabledProgramWindows& operator=(const DisabledProgramWindows&) = delete;

 private:
  static BOOL CALLBACK Collect(HWND window, LPARAM param) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) {
      reinterpret_cast<std::vector<std::pair<HWND, bool>>*>(param)->emplace_back(window, IsWindowEnabled(window) != 0);
    }
    return TRUE;
  }
  std::vector<std::pair<HWND, bool>> windows_;
};

std::string BrowseForFolder(HWND owner, const std::string& title, UINT flags) {
  char display_name[MAX_PATH] = {};
  BROWSEINFOA info{};
  info.hwndOwner = owner;
  info.pidlRoot = nullptr;
  info.pszDisplayName = display_name;
  info.lpszTitle = title.c_str();
  info.ulFlags = flags;
  PIDLIST_ABSOLUTE item = QUELLOR_BOUND(shell32, SHBrowseForFolderA)(&info);
  if (item == nullptr) return {};
  std::string path = FileSystemPathOf(item);
  CoTaskMemFree(item);
  return path;
}

}  // namespace

std::string FileSystemPathOf(PCIDLIST_ABSOLUTE item) {
  // One zero byte more than the call may write, so the text ends inside the buffer.
  char path[MAX_PATH + 1] = {};
  if (!QUELLOR_BOUND(shell32, SHGetPathFromIDListA)(item, path)) return {};
  // The narrow call cuts a path that does not fit its buffer (or leaves it
  // unterminated) and still reports success, and puts '?' for a character the
  // code page lacks. The wide path says what the whole narrow path would be.
  wchar_t wide[MAX_PATH] = {};
  if (!QUELLOR_BOUND(shell32, SHGetPathFromIDListW)(item, wide)) return {};
  BOOL lossy = FALSE;
  const int needed = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, nullptr, 0, nullptr, &lossy);
  const std::size_t length = std::strlen(path);
  if (lossy || needed <= 0 || static_cast<std::size_t>(needed) != length + 1) return {};
  return std::string(path, length);
}

ui::MessageAnswer Win32Dialogs::ShowMessage(std::string_view text, std::string_view caption,
                                                  ui::MessageButtons buttons, ui::MessageIcon icon) {
  UINT type = MB_TASKMODAL;
  type |= buttons == ui::MessageButtons::OkCancel ? MB_OKCANCEL : MB_OK;
  if (icon == ui::MessageIcon::Error) type |= MB_ICONERROR;
  const std::string text_z(text), caption_z(caption);
  return MessageBoxA(nullptr, text_z.c_str(), caption_z.c_str(), type) == IDOK ? ui::MessageAnswer::Ok
                                                                                : ui::MessageAnswer::Cancel;
}

std::string Win32Dialogs::ChooseFolder(std::string_view title, ui::FolderChooserStyle style) {
  const std::string title_z(title);
  if (style == ui::FolderChooserStyle::TargetFolder) {
    return BrowseForFolder(main_window_, title_z, BIF_NEWDIALOGSTYLE | BIF_EDITBOX);
  }
  HWND active = GetActiveWindow();
  HWND foreground = GetForegroundWindow();
  std::string folder;
  {
    DisabledProgramWindows disabled;
    folder = BrowseForFolder(active, title_z, BIF_EDITBOX);
  }
  if (foreground != nullptr && IsWindow(foreground)) SetForegroundWindow(foreground);
  if (active != nullptr && IsWindow(active)) SetActiveWindow(active);
  return folder;
}

}  // namespace quellor::app
