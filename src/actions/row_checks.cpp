// Ticking rows: all, none, the selected ones.
#include "actions/result_actions.h"

namespace quellor::actions {

void CheckAllRows(platform::Controls& controls) {
  controls.超级列表框_结果.Rows().SetAllChecked(true);
  controls.超级列表框_结果.RowsChanged();
}

void UncheckAllRows(platform::Controls& controls) {
  controls.超级列表框_结果.Rows().SetAllChecked(false);
  controls.超级列表框_结果.RowsChanged();
}

void CheckSelectedRows(platform::Controls& controls) {
  platform::ListView& list = controls.超级列表框_结果;
  for (int row : list.SelectedRows()) list.Rows().SetChecked(row, true);
  list.RowsChanged();
}

}  // namespace quellor::actions
