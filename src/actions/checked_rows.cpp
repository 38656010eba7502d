#include "actions/checked_rows.h"

namespace quellor::actions {

int CountCheckedRows(const platform::ListView& list) {
  const int rows = list.RowCount();
  int checked = 0;
  for (int row = 0; row < rows; ++row) checked += list.RowChecked(row) ? 1 : 0;
  return checked;
}

}  // namespace quellor::actions
