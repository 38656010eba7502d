#include "app/paths/search_paths.h"

#include "text/path_scan.h"

namespace quellor::app {

void AddSearchPath(platform::Controls& controls, platform::Dialogs& dialogs, const text::Charset& cs) {
  const std::string folder = dialogs.ChooseFolder(kChooseSearchFolderTitle, platform::FolderChooserStyle::SearchFolder);
  if (folder.empty()) return;
  controls.列表框_路径.Append(text::StripTrailingBackslash(cs, folder));
}

void AddDroppedPaths(platform::Controls& controls, const text::Charset& cs, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) controls.列表框_路径.Append(text::StripTrailingBackslash(cs, path));
}

void DeleteCurrentPath(platform::Controls& controls) {
  const int selected = controls.列表框_路径.SelectedIndex();
  if (selected >= 0) controls.列表框_路径.Delete(selected);
}

void DeleteAllPaths(platform::Controls& controls) { controls.列表框_路径.DeleteAll(); }

void SelectWholeComputer(platform::Controls& controls, const SettingsLocation& where) {
  controls.单选框_整个电脑.SetChecked(true);
  controls.单选框_指定路径.SetChecked(false);
  WriteOption(where, kKeyWholeComputer, kTrue);
  controls.按钮_搜索路径.SetEnabled(false);
}

void SelectChosenFolders(platform::Controls& controls, const SettingsLocation& where) {
  controls.单选框_指定路径.SetChecked(true);
  controls.单选框_整个电脑.SetChecked(false);
  WriteOption(where, kKeyWholeComputer, kFalse);
  controls.按钮_搜索路径.SetEnabled(true);
}

}  // namespace quellor::app
