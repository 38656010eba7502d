#include <unistd.h>

#include "platform/process_rights.h"

namespace quellor::platform {

Elevation CurrentElevation() { return ::geteuid() == 0 ? Elevation::Elevated : Elevation::Standard; }

std::uint32_t CurrentProcessId() { return static_cast<std::uint32_t>(::getpid()); }

}  // namespace quellor::platform
