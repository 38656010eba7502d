// Ticking rows: all, none, the selected ones.
#include "commands/result_actions.h"

namespace quellor::commands {

void CheckAllRows(ui::Controls& controls) {
  controls.超级列表框_结果.Rows().SetAllChecked(true);
  controls.超级列表框_结果.RowsChanged();
}

void UncheckAllRows(ui::Controls& controls) {
  controls.超级列表框_结果.Rows().SetAllChecked(false);
  controls.超级列表框_结果.RowsChanged();
}

void CheckSelectedRows(ui::Controls& controls) {
  ui::ListView& list = controls.超级列表框_结果;
  for (int row : list.SelectedRows()) list.Rows().SetChecked(row, true);
  list.RowsChanged();
}

}  // namespace quellor::commands
