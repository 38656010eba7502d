// The entry rule with the system's own types and names.
#pragma once

#include <windows.h>

#include "platform/windows_entry_kind.h"

namespace quellor::platform::win32 {

static_assert(FILE_ATTRIBUTE_DIRECTORY == kWindowsFolderAttribute);
static_assert(FILE_ATTRIBUTE_REPARSE_POINT == kWindowsReparsePointAttribute);
static_assert(IsReparseTagNameSurrogate(kWindowsNameSurrogateTag) && !IsReparseTagNameSurrogate(0x9000001A));

inline PathKind EntryKind(DWORD attributes, DWORD reparse_tag) { return WindowsEntryKind(attributes, reparse_tag); }

}  // namespace quellor::platform::win32
