// Rows put into a result list, ticked or removed one at a time, as a test
// sets up its case. The commands themselves change the row store and tell
// the view once; these do both for a single row.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/path_kind.h"
#include "ui/controls.h"

namespace quellor::testing {

// New rows are unchecked; each takes the kind at its place in `kinds`, Unknown
// past its end.
inline void AppendRows(ui::ListView& list, const std::vector<std::string>& texts,
                       const std::vector<platform::PathKind>& kinds = {}) {
  for (std::size_t i = 0; i < texts.size(); ++i) {
    list.Rows().Append(texts[i], i < kinds.size() ? kinds[i] : platform::PathKind::Unknown);
  }
  list.RowsAppended();
}

inline void SetRowChecked(ui::ListView& list, int row, bool checked) {
  list.Rows().SetChecked(row, checked);
  list.RowsChanged();
}

// False (and nothing removed) for a row that does not exist.
inline bool DeleteRow(ui::ListView& list, int row) {
  if (!list.Rows().Valid(row)) return false;
  list.RemoveRows({row});
  return true;
}

}  // namespace quellor::testing
