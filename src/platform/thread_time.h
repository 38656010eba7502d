// What the calling thread has used so far: set beside the time that passed
// during some work, it tells waiting (a network share, a cold disk) from work
// and from waiting for a turn on a busy machine.
#pragma once

#include <cstdint>

namespace quellor::platform {

struct ThreadUsage {
  std::uint64_t cpu_ns = 0;
  // Times the thread gave up the processor to wait for something; only
  // where `counts_waits` (Linux). Being preempted is not counted.
  std::uint64_t waits = 0;
  bool counts_waits = false;
};

// Windows counts CPU time in scheduler ticks, so only a sum over many
// intervals means anything there.
ThreadUsage CurrentThreadUsage();

}  // namespace quellor::platform
