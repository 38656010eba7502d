// The call that reads a listing's next entry, FindNextFileW, where a test can
// put one that fails half way through a folder.
#pragma once

#include <windows.h>

#include <atomic>

namespace quellor::platform::win32 {

using FindNextEntry = BOOL(WINAPI*)(HANDLE find, LPWIN32_FIND_DATAW data);
extern std::atomic<FindNextEntry> find_next_entry;

}  // namespace quellor::platform::win32
