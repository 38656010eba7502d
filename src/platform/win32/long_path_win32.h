// Paths as the system takes them exactly: the long "\\?\" form, in which no
// name is stripped or changed ("a.txt." stays "a.txt.", "b " keeps its
// space) and no length limit of 260 applies.
#pragma once

#include <string>

namespace quellor::platform::win32 {

// `path` in the long form: "D:\a\b" as "\\?\D:\a\b", "\\server\share\a" as
// "\\?\UNC\server\share\a". Separators may be '/' or '\'; "." and ".."
// components are resolved and doubled separators dropped, and nothing else
// is touched. A relative path is taken from the current folder first. A path
// already in the "\\?\" or "\\.\" form is kept as it is.
std::wstring LongPath(const std::wstring& path);

}  // namespace quellor::platform::win32
