#include <sys/resource.h>
#include <time.h>

#include "platform/thread_time.h"

namespace quellor::platform {

ThreadUsage CurrentThreadUsage() {
  ThreadUsage usage;
  // The thread's own clock: rusage times move in scheduler ticks.
  timespec now{};
  if (::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) == 0) {
    usage.cpu_ns = static_cast<std::uint64_t>(now.tv_sec) * 1000000000u + static_cast<std::uint64_t>(now.tv_nsec);
  }
#ifdef RUSAGE_THREAD
  rusage own{};
  if (::getrusage(RUSAGE_THREAD, &own) == 0) {
    usage.waits = static_cast<std::uint64_t>(own.ru_nvcsw);
    usage.counts_waits = true;
  }
#endif
  return usage;
}

}  // namespace quellor::platform
