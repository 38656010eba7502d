// Reads the real clipboard back (Windows).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace quellor::testing {

// The system's clipboard sync may hold the clipboard for a moment after each
// change, the more so on a busy machine: a reader waits that moment out.
inline bool OpenClipboardPatiently() {
  for (int tried = 0; tried < 100; ++tried) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(20);
  }
  return false;
}

// The CF_HDROP block, byte for byte.
inline std::string ReadClipboardDropList() {
  std::string bytes;
  if (!OpenClipboardPatiently()) {
    ADD_FAILURE() << "the clipboard was left open";
    return bytes;
  }
  if (HANDLE data = GetClipboardData(CF_HDROP)) {
    const SIZE_T size = GlobalSize(data);
    if (const void* memory = GlobalLock(data)) {
      bytes.assign(static_cast<const char*>(memory), size);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return bytes;
}

}  // namespace quellor::testing
