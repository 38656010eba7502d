#include "app/win32_dialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
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

// The user's documents folder; empty when the system names none, and the
// dialog then opens where it would by itself (the folder used last).
std::wstring DocumentsFolder() {
  wchar_t folder[MAX_PATH] = {};
  if (QUELLOR_BOUND(shell32, SHGetFolderPathW)(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) {
    return {};
  }
  return folder;
}

// Each type's words and pattern, as the dialog takes them: pairs of texts,
// each ending in a NUL, and one NUL more after the last.
std::wstring FilterOf(std::span<const ui::SaveFileType> types) {
  std::wstring filter;
  for (const ui::SaveFileType& type : types) {
    filter += platform::win32::WideText(type.description);
    filter += L'\0';
    filter += L"*." + platform::win32::WideText(type.extension);
    filter += L'\0';
  }
  filter += L'\0';
  return filter;
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

ui::SaveFileChoice Win32Dialogs::ChooseSaveFile(std::string_view title, std::string_view default_name,
                                              std::span<const ui::SaveFileType> types) {
  const std::wstring wide_title = platform::win32::WideText(title);
  const std::wstring filter = FilterOf(types);
  const std::wstring folder = DocumentsFolder();
  const std::wstring extension = types.empty() ? std::wstring() : platform::win32::WideText(types.front().extension);
  // Room for the longest path the system takes, so no choice is ever cut.
  std::wstring file(32768, L'\0');
  const std::wstring name = platform::win32::WideText(default_name);
  std::copy_n(name.data(), std::min(name.size(), file.size() - 1), file.data());

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = main_window_;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = wide_title.c_str();
  // With a default extension the dialog adds the chosen type's to a name
  // typed without one, before it asks about replacing a file of that name.
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!QUELLOR_BOUND(comdlg32, GetSaveFileNameW)(&dialog)) {
    // Zero: the user cancelled. Anything else kept the dialog from opening or answering.
    if (const DWORD error = QUELLOR_BOUND(comdlg32, CommDlgExtendedError)(); error != 0) {
      char code[16];
      std::snprintf(code, sizeof code, "0x%04lX", static_cast<unsigned long>(error));
      ShowMessage(std::string("无法打开保存对话框（错误 ") + code + "）。", "信息：", ui::MessageButtons::Ok,
                  ui::MessageIcon::Error);
    }
    return {};
  }
  ui::SaveFileChoice choice;
  choice.path = platform::win32::Utf8Name(file.c_str());
  const std::size_t type = dialog.nFilterIndex > 0 ? dialog.nFilterIndex - 1 : 0;
  choice.type = type < types.size() ? type : 0;
  return choice;
}

}  // namespace quellor::app
