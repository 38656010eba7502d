// The file drop list: the block that file managers paste as files.
#pragma once

#include <string>
#include <vector>

namespace quellor::platform {
class Clipboard;
}

namespace quellor::commands {

// The block for `paths` (in the name encoding): narrow, every path in the
// ANSI code page, when every path fits it, as the list always was; wide
// (UTF-16) when one does not, so no path ever reaches the shell with a
// character replaced by '?', which it would take for a wildcard. Empty when a
// path is not text in the name encoding.
std::string BuildDropListBlock(const std::vector<std::string>& paths);

// The layouts: a 20-byte header (path list offset 20, drop point 0,0, not in
// the non-client area, fWide 0 or 1), then every path and a zero character,
// then one more zero character.
std::string NarrowDropListBlock(const std::vector<std::string>& ansi_paths);
std::string WideDropListBlock(const std::vector<std::u16string>& paths);

// Builds the block for `paths` (at least one) and hands it to the clipboard;
// true when the clipboard took it.
bool PutDropListOnClipboard(platform::Clipboard& clipboard, const std::vector<std::string>& paths);

}  // namespace quellor::commands
