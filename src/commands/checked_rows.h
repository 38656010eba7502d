// The ticked rows of the result list, which the file actions take one by one
// while the window goes on answering, and the text that ends such a run.
#pragma once

#include <functional>
#include <string>

#include "ui/controls.h"

namespace quellor::commands {

// A long run over the rows hands the window its events at each ticked row
// and, between them, after this many unticked ones: often enough to keep the
// window answering, rarely enough that a million unticked rows pass quickly.
inline constexpr int kRowsBetweenEvents = 4096;

// Calls `visit` with every ticked row of `list`, in order, each after a turn
// of `turn`; a turn also comes at every kRowsBetweenEvents-th row, ticked or
// not. `turn` hands the window its pending events (and shows what the command
// shows meanwhile) and returns false once the window is closing. The visit
// stops there, or when `visit` returns false. Returns whether it reached the
// end rather than being stopped.
bool VisitCheckedRows(const ui::ListView& list, const std::function<bool()>& turn,
                      const std::function<bool(int row)>& visit);

// The status text at the end of a copy, move or delete: `done` alone when
// nothing failed; otherwise `done` followed by how many items failed, e.g.
// "复制完毕！其中 2 项复制失败。".
std::string EndText(const std::string& done, const std::string& verb, int failed);

}  // namespace quellor::commands
