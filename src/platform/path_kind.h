// What is at a path itself, a link not followed: what a search found there,
// and what a file operation finds there before it acts.
#pragma once

#include <cstdint>

namespace quellor::platform {

enum class PathKind : std::uint8_t {
  Missing,
  File,
  Folder,
  // A symbolic link, a junction or another reparse point that names another
  // item: never gone through by a file operation.
  Link,
  // A FIFO, device or socket: never opened as a file.
  Special,
  // The look-up failed for another reason (access denied, a name the system
  // refuses, ...): nothing may be concluded either way.
  Unknown,
};

}  // namespace quellor::platform
