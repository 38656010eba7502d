#include <windows.h>
#include <shlobj.h>

#include <cstring>

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

class Win32Clipboard final : public Clipboard {
 public:
  bool PutDropList(std::string_view block) override {
    if (!QUELLOR_BOUND(user32, OpenClipboard)(nullptr)) return false;
    bool handed_over = false;
    if (QUELLOR_BOUND(user32, EmptyClipboard)()) {
      if (HGLOBAL memory = MakeBlock(block)) {
        // On success the block belongs to the clipboard.
        handed_over = QUELLOR_BOUND(user32, SetClipboardData)(CF_HDROP, memory) != nullptr;
        if (!handed_over) QUELLOR_BOUND(kernel32, GlobalFree)(memory);
      }
    }
    QUELLOR_BOUND(user32, CloseClipboard)();
    return handed_over;
  }
};

}  // namespace

std::unique_ptr<Clipboard> MakeSystemClipboard() { return std::make_unique<Win32Clipboard>(); }

}  // namespace quellor::platform
