// The loop that the permanent delete and the move to the recycle bin share:
// the ticked rows' items taken one by one, and a row removed from the list
// only when its item is gone from its place.
#pragma once

#include <functional>
#include <string>

#include "commands/result_actions.h"

namespace quellor::commands {

struct RemovalTally {
  int taken = 0;   // rows whose item was acted on, or left on purpose
  int failed = 0;  // items acted on that are still there
  bool finished = true;  // false: the window is closing
};

// Calls `remove` with each ticked row and its path while showing `running`
// in the status line. `remove` returns false for an item it left on purpose
// (and counts itself): its row stays ticked. A row whose item is gone
// afterwards leaves the list, all in one go at the end; one whose item is
// still there stays ticked and counts as failed.
RemovalTally RemoveCheckedItems(ui::Controls& controls, ActionServices& services, const std::string& running,
                                const std::function<bool(int row, const std::string& path)>& remove);

// The question before a removal, naming how many rows are ticked; false
// when nothing is ticked (and the user was told) or the user cancelled.
bool ConfirmCountedRemoval(ui::Controls& controls, ActionServices& services, const std::string& question_before_count,
                           const std::string& question_after_count, const std::string& caption);

}  // namespace quellor::commands
