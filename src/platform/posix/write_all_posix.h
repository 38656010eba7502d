// Writing a whole buffer to a file descriptor, however the system splits it.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace quellor::platform::posix {

// False when a write fails (errno tells why) or writes nothing.
inline bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

}  // namespace quellor::platform::posix
