#include "commands/radio_groups.h"

namespace quellor::commands {

SearchArea SelectedSearchArea(const ui::Controls& controls) {
  return controls.单选框_整个电脑.Checked() ? SearchArea::WholeComputer : SearchArea::ChosenFolders;
}

void SelectSearchArea(ui::Controls& controls, SearchArea area) {
  const bool whole_computer = area == SearchArea::WholeComputer;
  controls.单选框_整个电脑.SetChecked(whole_computer);
  controls.单选框_指定路径.SetChecked(!whole_computer);
}

search::MatchMode SelectedMatchMode(const ui::Controls& controls) {
  return controls.单选框_模糊搜索.Checked() ? search::MatchMode::Fuzzy : search::MatchMode::Exact;
}

void SelectMatchMode(ui::Controls& controls, search::MatchMode mode) {
  const bool fuzzy = mode == search::MatchMode::Fuzzy;
  controls.单选框_模糊搜索.SetChecked(fuzzy);
  controls.单选框_精确搜索.SetChecked(!fuzzy);
}

}  // namespace quellor::commands
