// The number in a running search's status, the same in the window and in
// quellor-find.
#pragma once

#include <cstdint>

namespace quellor::search {

// 1 plus the first value of the C runtime's generator seeded with `tick`,
// modulo 5000: a number from 1 to 5000 that measures nothing. Users know the
// progress text with it: a changing number shows that the search is alive.
int ProgressNumber(std::uint32_t tick);

}  // namespace quellor::search
