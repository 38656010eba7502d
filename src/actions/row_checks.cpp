// Ticking rows: all, none, the selected ones.
#include "actions/result_actions.h"

namespace quellor::actions {

namespace {
void SetEveryRow(platform::ListView& list, bool checked) {
  const int rows = list.RowCount();
  for (int row = 0; row < rows; ++row) list.SetRowChecked(row, checked);
}
}  // namespace

void CheckAllRows(platform::Controls& controls) {
  SetEveryRow(controls.超级列表框_结果, true);
}

void UncheckAllRows(platform::Controls& controls) {
  SetEveryRow(controls.超级列表框_结果, false);
}

void CheckSelectedRows(platform::Controls& controls) {
  platform::ListView& list = controls.超级列表框_结果;
  const int rows = list.RowCount();
  for (int row = 0; row < rows; ++row) {
    if (list.RowSelected(row)) list.SetRowChecked(row, true);
  }
}

}  // namespace quellor::actions
