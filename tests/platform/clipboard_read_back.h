// Reads the real clipboard back (Windows).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
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

// What the clipboard holds in `format`, byte for byte as its block is
// (text formats with their terminating zero and what may follow it).
inline std::string ReadClipboard(UINT format) {
  std::string bytes;
  if (!OpenClipboardPatiently()) {
    ADD_FAILURE() << "the clipboard was left open";
    return bytes;
  }
  if (HANDLE data = GetClipboardData(format)) {
    const SIZE_T size = GlobalSize(data);
    if (const void* memory = GlobalLock(data)) {
      bytes.assign(static_cast<const char*>(memory), size);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return bytes;
}

inline std::string ReadClipboardDropList() { return ReadClipboard(CF_HDROP); }

// The text formats, up to their terminating zero.
inline std::string ReadClipboardText() {
  const std::string bytes = ReadClipboard(CF_TEXT);
  return bytes.substr(0, bytes.find('\0'));
}
inline std::u16string ReadClipboardUnicode() {
  const std::string bytes = ReadClipboard(CF_UNICODETEXT);
  std::u16string text(bytes.size() / 2, u'\0');
  std::memcpy(text.data(), bytes.data(), text.size() * 2);
  return text.substr(0, text.find(u'\0'));
}

}  // namespace quellor::testing
