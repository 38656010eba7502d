// Copy and move of a file or folder tree through the system's file calls,
// and what such a tree holds. Each file is written under a temporary name in
// its target's folder, kept on the disk, and renamed over the target only
// when whole: no part of a file ever stands under its final name, and a file
// there survives a failed overwrite.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/tree_content.h"

namespace quellor::platform::win32 {

// 0 when done, else the system's error code. An item at the target is
// overwritten, a folder there merged into; a linked folder (junction, link)
// is not copied, so no copy can loop; a device or pipe is never read.
DWORD CopyItem(const std::wstring& source, const std::wstring& target);

// A rename on one volume; across volumes a copy as above, after which the
// source is removed only once the target is seen to hold all of it.
DWORD MoveItem(const std::wstring& source, const std::wstring& target);

// What the item at `path` holds, as the copy reproduces it.
std::optional<TreeContent> ContentAt(const std::wstring& path);

}  // namespace quellor::platform::win32
