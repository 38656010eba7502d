// The search folder list 列表框_路径 and its commands.
#pragma once

#include <string>
#include <vector>

#include "app/settings/settings.h"
#include "platform/controls.h"
#include "platform/dialogs.h"
#include "text/charset.h"

namespace quellor::app {

inline constexpr std::string_view kChooseSearchFolderTitle = "选择目录";

// 按钮_搜索路径: the folder browser, then one entry appended (nothing on cancel).
void AddSearchPath(platform::Controls& controls, platform::Dialogs& dialogs, const text::Charset& cs);

// A shell drop list: one entry per item, in drop order.
void AddDroppedPaths(platform::Controls& controls, const text::Charset& cs, const std::vector<std::string>& paths);

// Menu 菜单: "删除当前路径" and "删除全部路径"; no confirmation.
void DeleteCurrentPath(platform::Controls& controls);
void DeleteAllPaths(platform::Controls& controls);

// The radio pair 单选框_整个电脑 / 单选框_指定路径: both buttons set, the mode
// stored, 按钮_搜索路径 disabled exactly while the whole computer is searched.
void SelectWholeComputer(platform::Controls& controls, const SettingsLocation& where);
void SelectChosenFolders(platform::Controls& controls, const SettingsLocation& where);

}  // namespace quellor::app
