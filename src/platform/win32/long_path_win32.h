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

// `long_path` (in the long form) with the system folder as 64-bit programs
// see it: a 32-bit program on 64-bit Windows is shown the 32-bit files of
// SysWOW64 under `windows_folder`\System32, and reaches the real folder only
// through the alias Sysnative. Unchanged when `redirected` is false (a 64-bit
// program, or 32-bit Windows) or the path lies elsewhere.
std::wstring SystemFolderUnredirected(const std::wstring& long_path, const std::wstring& windows_folder,
                                      bool redirected);

// The path every file call of the program takes: the long form, with the
// system folder as 64-bit programs see it.
std::wstring SystemPath(const std::wstring& path);

}  // namespace quellor::platform::win32
