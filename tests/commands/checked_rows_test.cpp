// The visit of the ticked rows that copy, move and delete share: the window's
// turns, and where a close or the command stops it.
#include "commands/checked_rows.h"

#include <gtest/gtest.h>

#include "support/memory_controls.h"
#include "support/row_setup.h"
#include "support/scripted_dialogs.h"

namespace quellor::testing {
namespace {

constexpr int N = commands::kRowsBetweenEvents;

TEST(VisitCheckedRows, TurnsAndStops) {
  struct Case {
    const char* what;
    int rows;
    std::vector<int> ticked;
    int close_after_turns;
    int last_row;  // the visit of this row stops it
    std::vector<int> visited;
    int turns;
    bool finished;
  };
  const Case cases[] = {
      {"one turn per ticked row", 5, {1, 3, 4}, 1 << 30, -1, {1, 3, 4}, 3, true},
      {"one turn after every N rows, ticked or not", 2 * N + 1, {N - 1, 2 * N}, 1 << 30, -1, {N - 1, 2 * N}, 3, true},
      {"a close ends the visit after the row before", 3, {0, 1, 2}, 1, -1, {0}, 2, false},
      {"the command ends it", 3, {0, 1, 2}, 1 << 30, 1, {0, 1}, 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryControls memory;
    ui::ListView& list = memory.超级列表框_结果;
    AppendRows(list, std::vector<std::string>(static_cast<std::size_t>(c.rows), "row"));
    for (int row : c.ticked) SetRowChecked(list, row, true);
    CountingEventPump events;
    events.close_after_turns = c.close_after_turns;
    std::vector<int> visited;
    const bool finished = commands::VisitCheckedRows(
        list, [&] { return events.ProcessPendingEvents(); },
        [&](int row) {
          visited.push_back(row);
          return row != c.last_row;
        });
    EXPECT_EQ(visited, c.visited);
    EXPECT_EQ(events.turns, c.turns);
    EXPECT_EQ(finished, c.finished);
  }
}

TEST(VisitCheckedRows, ARowUntickedDuringATurnIsPassedOver) {
  MemoryControls memory;
  ui::ListView& list = memory.超级列表框_结果;
  AppendRows(list, {"a", "b"});
  SetRowChecked(list, 0, true);
  SetRowChecked(list, 1, true);
  int turns = 0;
  std::vector<int> visited;
  commands::VisitCheckedRows(
      list,
      [&] {
        if (++turns == 2) SetRowChecked(list, 1, false);  // in the turn before row 1
        return true;
      },
      [&](int row) {
        visited.push_back(row);
        return true;
      });
  EXPECT_EQ(visited, std::vector<int>{0});
}

}  // namespace
}  // namespace quellor::testing
