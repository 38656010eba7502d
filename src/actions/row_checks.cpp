// Ticking rows: all, none, the selected ones.
#include "actions/result_actions.h"

namespace quellor::actions {

void CheckAllRows(platform::Controls& controls) {
  if (ResultActionRunning()) return;
  controls.超级列表框1.Rows().SetAllChecked(true);
  controls.超级列表框1.RowsChanged();
}

void UncheckAllRows(platform::Controls& controls) {
  if (ResultActionRunning()) return;
  controls.超级列表框1.Rows().SetAllChecked(false);
  controls.超级列表框1.RowsChanged();
}

void CheckSelectedRows(platform::Controls& controls) {
  if (ResultActionRunning()) return;
  platform::ListView& list = controls.超级列表框1;
  for (int row : list.SelectedRows()) list.Rows().SetChecked(row, true);
  list.RowsChanged();
}

}  // namespace quellor::actions
