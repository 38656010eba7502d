#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "platform/clipboard.h"
#include "platform/win32/bound_function_win32.h"

namespace quellor::platform {

namespace {

// Fills a new movable block with `bytes`; nullptr when it cannot.
HGLOBAL MakeBlock(std::string_view bytes) {
  HGLOBAL block = QUELLOR_BOUND(kernel32, GlobalAlloc)(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size());
  if (block == nullptr) return nullptr;
  void* memory = QUELLOR_BOUND(kernel32, GlobalLock)(block);
  if (memory == nullptr) {
    QUELLOR_BOUND(kernel32, GlobalFree)(block);
    return nullptr;
  }
  std::memcpy(memory, bytes.data(), bytes.size());
  QUELLOR_BOUND(kernel32, GlobalUnlock)(block);
  return block;
}

// Hands `bytes` over in `format`; on success the block belongs to the clipboard.
bool HandOver(UINT format, std::string_view bytes) {
  HGLOBAL memory = MakeBlock(bytes);
  if (memory == nullptr) return false;
  if (QUELLOR_BOUND(user32, SetClipboardData)(format, memory) != nullptr) return true;
  QUELLOR_BOUND(kernel32, GlobalFree)(memory);
  return false;
}

// `text` in the ANSI code page, a character it lacks written as the system
// writes it; empty when it cannot be converted at all.
std::string AnsiForm(std::u16string_view text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int size = QUELLOR_BOUND(kernel32, WideCharToMultiByte)(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string ansi(static_cast<std::size_t>(size), '\0');
  if (QUELLOR_BOUND(kernel32, WideCharToMultiByte)(CP_ACP, 0, wide, length, ansi.data(), size, nullptr, nullptr) != size) {
    return {};
  }
  return ansi;
}

// A clipboard viewer or the system's own clipboard sync may hold the clipboard
// for a moment after each change: a second copy right after the first waits
// that moment out rather than fail.
bool OpenPatiently() {
  constexpr int kTries = 10;
  for (int tried = 1;; ++tried) {
    if (QUELLOR_BOUND(user32, OpenClipboard)(nullptr)) return true;
    if (tried == kTries) return false;
    QUELLOR_BOUND(kernel32, Sleep)(25);
  }
}

class Win32Clipboard final : public Clipboard {
 public:
  bool PutDropList(std::string_view block) override {
    if (!OpenPatiently()) return false;
    const bool handed_over = QUELLOR_BOUND(user32, EmptyClipboard)() && HandOver(CF_HDROP, block);
    QUELLOR_BOUND(user32, CloseClipboard)();
    return handed_over;
  }

  // Both forms end with their terminating zero, as the text formats require.
  bool PutText(std::u16string_view text) override {
    const std::string ansi = AnsiForm(text);
    if (ansi.empty() && !text.empty()) return false;
    if (!OpenPatiently()) return false;
    const std::string_view unicode(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
    const bool handed_over = QUELLOR_BOUND(user32, EmptyClipboard)() &&
                             HandOver(CF_UNICODETEXT, std::string(unicode).append(2, '\0')) &&
                             HandOver(CF_TEXT, ansi + '\0');
    QUELLOR_BOUND(user32, CloseClipboard)();
    return handed_over;
  }
};

}  // namespace

std::unique_ptr<Clipboard> MakeSystemClipboard() { return std::make_unique<Win32Clipboard>(); }

}  // namespace quellor::platform
