// What the system calls one of its error codes, for a message to a person.
#pragma once

#include <string>

namespace quellor::platform {

// The system's own description of `code` (GetLastError's or errno's), in the
// system's character set, followed by the number; just the number when the
// system has no text for it.
std::string SystemErrorText(int code);

}  // namespace quellor::platform
