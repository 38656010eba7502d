// What this process may do beyond what its user may. Reading a volume's
// sectors takes an elevated process; an administrator's programs start
// with those rights filtered out, and only a system prompt grants them.
#pragma once

#include <cstdint>

namespace quellor::platform {

enum class Elevation {
  Elevated,    // has an administrator's rights now
  CanElevate,  // an administrator's process with those rights filtered out
  Standard,    // a standard user's process, or the system did not say
};

// Windows: the token's elevation type. POSIX: Elevated for the superuser.
Elevation CurrentElevation();

std::uint32_t CurrentProcessId();

}  // namespace quellor::platform
