// The file drop list: the block that file managers paste as files.
#pragma once

#include <string>
#include <vector>

namespace quellor::platform {
class Clipboard;
}

namespace quellor::files {

// A 20-byte header (path list offset 20, drop point 0,0, not in the non-client
// area, narrow paths), then every path's bytes and a zero byte, then one more
// zero byte.
std::string BuildDropListBlock(const std::vector<std::string>& paths);

// Builds the block for `paths` (at least one) and hands it to the clipboard;
// true when the clipboard took it.
bool PutDropListOnClipboard(platform::Clipboard& clipboard, const std::vector<std::string>& paths);

}  // namespace quellor::files
