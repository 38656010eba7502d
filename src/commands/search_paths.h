// The search folder list 列表框_路径 and its commands.
#pragma once

#include <string>
#include <vector>

#include "commands/settings.h"
#include "text/charset.h"
#include "ui/controls.h"
#include "ui/dialogs.h"

namespace quellor::commands {

inline constexpr std::string_view kChooseSearchFolderTitle = "选择目录";

// 按钮_搜索路径: the folder browser, then one entry appended (nothing on cancel).
void AddSearchPath(ui::Controls& controls, ui::Dialogs& dialogs, const text::Charset& cs);

// A shell drop list: one entry per item, in drop order.
void AddDroppedPaths(ui::Controls& controls, const text::Charset& cs, const std::vector<std::string>& paths);

// The folder list's menu: "删除当前路径" and "删除全部路径"; no confirmation.
void DeleteCurrentPath(ui::Controls& controls);
void DeleteAllPaths(ui::Controls& controls);

// The radio pair 单选框_整个电脑 / 单选框_指定路径: both buttons set, the mode
// stored, 按钮_搜索路径 disabled exactly while the whole computer is searched.
void SelectWholeComputer(ui::Controls& controls, const SettingsLocation& where);
void SelectChosenFolders(ui::Controls& controls, const SettingsLocation& where);

}  // namespace quellor::commands
