#include <windows.h>

#include "platform/tick_count.h"

namespace quellor::platform {

std::uint32_t TickCount() { return GetTickCount(); }

}  // namespace quellor::platform
