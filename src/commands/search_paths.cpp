#include "commands/search_paths.h"

#include "commands/radio_groups.h"
#include "text/path_scan.h"

namespace quellor::commands {

void AddSearchPath(ui::Controls& controls, ui::Dialogs& dialogs, const text::Charset& cs) {
  const std::string folder = dialogs.ChooseFolder(kChooseSearchFolderTitle, ui::FolderChooserStyle::SearchFolder);
  if (folder.empty()) return;
  controls.列表框_路径.Append(text::StripTrailingBackslash(cs, folder));
}

void AddDroppedPaths(ui::Controls& controls, const text::Charset& cs, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) controls.列表框_路径.Append(text::StripTrailingBackslash(cs, path));
}

void DeleteCurrentPath(ui::Controls& controls) {
  const int selected = controls.列表框_路径.SelectedIndex();
  if (selected >= 0) controls.列表框_路径.Delete(selected);
}

void DeleteAllPaths(ui::Controls& controls) { controls.列表框_路径.DeleteAll(); }

void SelectWholeComputer(ui::Controls& controls, const SettingsLocation& where) {
  SelectSearchArea(controls, SearchArea::WholeComputer);
  WriteOption(where, kKeyWholeComputer, kTrue);
  controls.按钮_搜索路径.SetEnabled(false);
}

void SelectChosenFolders(ui::Controls& controls, const SettingsLocation& where) {
  SelectSearchArea(controls, SearchArea::ChosenFolders);
  WriteOption(where, kKeyWholeComputer, kFalse);
  controls.按钮_搜索路径.SetEnabled(true);
}

}  // namespace quellor::commands
