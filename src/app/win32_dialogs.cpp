#include "app/win32_dialogs.h"

#include <shlobj.h>

#include <string>
#include <utility>
#include <vector>

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
  PIDLIST_ABSOLUTE item = SHBrowseForFolderA(&info);
  if (item == nullptr) return {};
  char path[MAX_PATH] = {};
  // Fails for a virtual folder (and for a path that would not fit).
  const bool has_path = SHGetPathFromIDListA(item, path) != FALSE;
  CoTaskMemFree(item);
  return has_path ? std::string(path) : std::string();
}

}  // namespace

platform::MessageAnswer Win32Dialogs::ShowMessage(std::string_view text, std::string_view caption,
                                                  platform::MessageButtons buttons, platform::MessageIcon icon) {
  UINT type = MB_TASKMODAL;
  type |= buttons == platform::MessageButtons::OkCancel ? MB_OKCANCEL : MB_OK;
  if (icon == platform::MessageIcon::Error) type |= MB_ICONERROR;
  const std::string text_z(text), caption_z(caption);
  return MessageBoxA(nullptr, text_z.c_str(), caption_z.c_str(), type) == IDOK ? platform::MessageAnswer::Ok
                                                                                : platform::MessageAnswer::Cancel;
}

std::string Win32Dialogs::ChooseFolder(std::string_view title, platform::FolderChooserStyle style) {
  const std::string title_z(title);
  if (style == platform::FolderChooserStyle::TargetFolder) {
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
