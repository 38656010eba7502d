// The visit of the ticked rows that copy, move and delete share: the window's
// turns, and what stops the visit.
#include "commands/checked_rows.h"

#include <gtest/gtest.h>

#include "support/memory_controls.h"
#include "support/row_setup.h"
#include "support/scripted_dialogs.h"

namespace quellor::testing {
namespace {

constexpr int N = commands::kRowsBetweenEvents;
constexpr int kNever = 1 << 30;

TEST(VisitCheckedRows, TurnsAndStops) {
  struct Case {
    const char* what;
    int rows;
    std::vector<int> ticked;
    int close_after_turns;
    int untick_in_turn;  // the row of this turn is unticked during it (from 1)
    int last_row;        // the command stops after this row
    std::vector<int> visited;
    int turns;
    bool finished;
  };
  const Case cases[] = {
      {"one turn per ticked row", 5, {1, 3, 4}, kNever, 0, -1, {1, 3, 4}, 3, true},
      {"one turn after every N rows, ticked or not", 2 * N + 1, {N - 1, 2 * N}, kNever, 0, -1, {N - 1, 2 * N}, 3, true},
      {"a row unticked in its turn is passed over", 2, {0, 1}, kNever, 2, -1, {0}, 2, true},
      {"a close ends the visit after the row before", 3, {0, 1, 2}, 1, 0, -1, {0}, 2, false},
      {"the command ends it", 3, {0, 1, 2}, kNever, 0, 1, {0, 1}, 2, false},
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
        list,
        [&] {
          if (events.turns + 1 == c.untick_in_turn) SetRowChecked(list, c.ticked[events.turns], false);
          return events.ProcessPendingEvents();
        },
        [&](int row) {
          visited.push_back(row);
          return row != c.last_row;
        });
    EXPECT_EQ(visited, c.visited);
    EXPECT_EQ(events.turns, c.turns);
    EXPECT_EQ(finished, c.finished);
  }
}

}  // namespace
}  // namespace quellor::testing
