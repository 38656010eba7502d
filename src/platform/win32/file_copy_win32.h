// A file's content copied through the system's file calls: written under a
// temporary name in its target's folder, kept on the disk, and given the
// target's name only when whole, so no part of a file ever stands under its
// final name and a file there survives a failed copy.
#pragma once

#include <windows.h>

#include <string>

#include "platform/file_system.h"

namespace quellor::platform::win32 {

// 0 when done, else the system's error code or a code of file_system.h:
// kNotTheItem when `source` is not the plain file it was listed as (a device
// or pipe is never read), kTargetTaken when something is at `target` and
// not `replace`.
// `copied`: the bytes read and the source's modification time once they were.
int CopyFileContent(const std::wstring& source, const std::wstring& target, bool replace, ItemState& copied);

// The new folder `target` takes the modification time of `source`.
int CopyFolderTime(const std::wstring& source, const std::wstring& target);

}  // namespace quellor::platform::win32
