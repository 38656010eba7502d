// The ticked rows of the result list, which the file actions take.
#pragma once

#include "platform/controls.h"

namespace quellor::actions {

// The number of ticked rows, the row count read once.
int CountCheckedRows(const platform::ListView& list);

}  // namespace quellor::actions
