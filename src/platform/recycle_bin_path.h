// Which paths the shell's recycle-bin delete takes exactly as they are. The
// shell takes no "\\?\" form: it parses every path itself, in a buffer of 260
// characters, and strips a name's trailing dots and spaces, so it would act on
// another item than the one named, or on none.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/shell.h"

namespace quellor::platform {

// The shell's length limit, the terminating NUL included.
inline constexpr std::size_t kShellPathLimit = 260;

// Handed when the shell may be given `path` (UTF-16, as the system takes it):
// a drive-absolute path ("D:\a\b.txt") under the length limit, with no empty,
// "." or ".." component, no '/', no wildcard and no name ending in a dot or
// space. A UNC path ("\\server\share\...") is on a network drive; any other
// path is NameNotTaken.
RecycleOutcome CheckRecycleBinPath(std::u16string_view path);

}  // namespace quellor::platform
