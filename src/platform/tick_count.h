// A millisecond tick count that only moves forward.
#pragma once

#include <cstdint>

namespace quellor::platform {

// Windows: GetTickCount. POSIX: milliseconds of the monotonic clock.
std::uint32_t TickCount();

}  // namespace quellor::platform
