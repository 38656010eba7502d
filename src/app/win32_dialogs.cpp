#include "app/win32_dialogs.h"

#include <shlobj.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/controls/win32_controls.h"
#include "platform/win32/bound_function_win32.h"
#include "platform/win32/wide_text_win32.h"

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

std::string BrowseForFolder(HWND owner, std::string_view title, UINT flags) {
  wchar_t display_name[MAX_PATH] = {};
  const std::wstring wide_title = platform::win32::WideText(title);
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.pidlRoot = nullptr;
  info.pszDisplayName = display_name;
  info.lpszTitle = wide_title.c_str();
  info.ulFlags = flags;
  PIDLIST_ABSOLUTE item = QUELLOR_BOUND(shell32, SHBrowseForFolderW)(&info);
  if (item == nullptr) return {};
  std::string path = FileSystemPathOf(item);
  CoTaskMemFree(item);
  return path;
}

}  // namespace

std::string FileSystemPathOf(PCIDLIST_ABSOLUTE item) {
  // One character more than the call may write, so the text ends inside the buffer.
  wchar_t wide[MAX_PATH + 1] = {};
  if (!QUELLOR_BOUND(shell32, SHGetPathFromIDListW)(item, wide)) return {};
  return platform::win32::Utf8Name(wide);
}

ui::MessageAnswer Win32Dialogs::ShowMessage(const text::ShownText& text, std::string_view caption,
                                            ui::MessageButtons buttons, ui::MessageIcon icon) {
  UINT type = MB_TASKMODAL;
  type |= buttons == ui::MessageButtons::OkCancel ? MB_OKCANCEL : MB_OK;
  if (icon == ui::MessageIcon::Error) type |= MB_ICONERROR;
  // A path in the text shows as it is beside the words.
  const std::wstring wide_text = WideShownText(text);
  const std::wstring wide_caption = platform::win32::WideText(caption);
  return MessageBoxW(nullptr, wide_text.c_str(), wide_caption.c_str(), type) == IDOK ? ui::MessageAnswer::Ok
                                                                                      : ui::MessageAnswer::Cancel;
}

std::string Win32Dialogs::ChooseFolder(std::string_view title, ui::FolderChooserStyle style) {
  if (style == ui::FolderChooserStyle::TargetFolder) {
    return BrowseForFolder(main_window_, title, BIF_NEWDIALOGSTYLE | BIF_EDITBOX);
  }
  HWND active = GetActiveWindow();
  HWND foreground = GetForegroundWindow();
  std::string folder;
  {
    DisabledProgramWindows disabled;
    folder = BrowseForFolder(active, title, BIF_EDITBOX);
  }
  if (foreground != nullptr && IsWindow(foreground)) SetForegroundWindow(foreground);
  if (active != nullptr && IsWindow(active)) SetActiveWindow(active);
  return folder;
}

}  // namespace quellor::app
