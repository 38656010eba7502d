#include "commands/checked_rows.h"

namespace quellor::commands {

bool VisitCheckedRows(const ui::ListView& list, const std::function<bool()>& turn,
                      const std::function<bool(int row)>& visit) {
  const int rows = list.RowCount();
  for (int row = 0; row < rows; ++row) {
    if (!list.RowChecked(row) && (row + 1) % kRowsBetweenEvents != 0) continue;
    if (!turn()) return false;
    // The tick is read again: the window's events may have changed it.
    if (list.RowChecked(row) && !visit(row)) return false;
  }
  return true;
}

std::string EndText(const std::string& done, const std::string& verb, int failed) {
  if (failed == 0) return done;
  return done + "其中 " + std::to_string(failed) + " 项" + verb + "失败。";
}

}  // namespace quellor::commands
