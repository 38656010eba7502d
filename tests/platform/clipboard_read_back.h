// Reads the CF_HDROP block on the real clipboard back, byte for byte (Windows).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace quellor::testing {

inline std::string ReadClipboardDropList() {
  std::string bytes;
  if (!OpenClipboard(nullptr)) {
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
