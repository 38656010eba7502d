// The ticked rows of the result list, which the file actions take.
#pragma once

#include "ui/controls.h"

namespace quellor::commands {

// A long run over the rows hands the window its events at each ticked row
// and, between them, after this many unticked ones: often enough to keep the
// window answering, rarely enough that a million unticked rows pass quickly.
inline constexpr int kRowsBetweenEvents = 4096;

}  // namespace quellor::commands
