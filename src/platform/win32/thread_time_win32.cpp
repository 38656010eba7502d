#include <windows.h>

#include "platform/thread_time.h"

namespace quellor::platform {

ThreadUsage CurrentThreadUsage() {
  ThreadUsage usage;
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return usage;
  auto hundreds = [](const FILETIME& t) {
    return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  usage.cpu_ns = (hundreds(kernel) + hundreds(user)) * 100u;
  return usage;
}

}  // namespace quellor::platform
