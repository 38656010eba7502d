// Whole-file read and write of the program's stored files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quellor::platform {

// The file's bytes; nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes `bytes` to a temporary file beside `path`, then moves it over `path`
// (ReplacingFile, which writes files too large to hold in memory),
// so a crash or a full disk never leaves a half-written file. False on failure,
// in which case `path` is unchanged. A link at `path` is followed, as a shell
// redirection would, and what it leads to is replaced; a FIFO or device is
// written in place, never replaced by a file.
bool WriteWholeFileReplacing(const std::string& path, std::string_view bytes);

// Removes the stored file at `path`: true when nothing is there afterwards
// (nothing was there before included).
bool RemoveStoredFile(const std::string& path);

}  // namespace quellor::platform
