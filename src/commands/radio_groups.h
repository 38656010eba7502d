// The window's two radio groups, each read and set as one value: where to
// search (单选框_整个电脑 / 单选框_指定路径) and how names match
// (单选框_精确搜索 / 单选框_模糊搜索).
#pragma once

#include "search/match_rules.h"
#include "ui/controls.h"

namespace quellor::commands {

enum class SearchArea { ChosenFolders, WholeComputer };

// The whole computer only while 单选框_整个电脑 is checked.
SearchArea SelectedSearchArea(const ui::Controls& controls);
void SelectSearchArea(ui::Controls& controls, SearchArea area);

// Fuzzy only while 单选框_模糊搜索 is checked, for file and folder names alike.
search::MatchMode SelectedMatchMode(const ui::Controls& controls);
void SelectMatchMode(ui::Controls& controls, search::MatchMode mode);

}  // namespace quellor::commands
