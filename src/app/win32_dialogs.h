// Message boxes, folder choosers and the save dialog of the main window.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "ui/dialogs.h"

namespace quellor::app {

class Win32Dialogs : public ui::Dialogs {
 public:
  // `main_window` owns the target-folder chooser.
  explicit Win32Dialogs(HWND main_window) : main_window_(main_window) {}

  ui::MessageAnswer ShowMessage(const text::ShownText& text, std::string_view caption, ui::MessageButtons buttons,
                                ui::MessageIcon icon) override;
  std::string ChooseFolder(std::string_view title, ui::FolderChooserStyle style) override;
  ui::SaveFileChoice ChooseSaveFile(std::string_view title, std::string_view default_name,
                                    std::span<const ui::SaveFileType> types) override;

 private:
  HWND main_window_;
};

// The file-system path of a shell item, in UTF-8; empty for a virtual folder.
std::string FileSystemPathOf(PCIDLIST_ABSOLUTE item);

}  // namespace quellor::app
