// The roots of a whole-computer search.
#pragma once

#include <string>
#include <vector>

namespace quellor::platform {

// Windows: every drive letter A to Z whose type is fixed, as "C:" (no
// trailing backslash). POSIX: the mount points of local disk file systems, in
// the order the system lists them.
std::vector<std::string> FixedDriveRoots();

}  // namespace quellor::platform
