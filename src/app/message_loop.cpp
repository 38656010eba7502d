#include "app/message_loop.h"

namespace quellor::app {

// The wide forms: a character typed or pasted into a Unicode control arrives
// whole, where the ANSI forms would pass it through the code page first.
void DispatchQueuedMessage(HWND window, MSG& message) {
  if (window != nullptr && IsDialogMessageW(window, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void RunMessageLoop(HWND window) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchQueuedMessage(IsWindow(window) ? window : nullptr, message);
}

bool PendingEvents::ProcessPendingEvents() {
  return HandlePendingMessages() && !close_requested_ && window_ != nullptr;
}

bool PendingEvents::HandlePendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Left for the main loop, which ends the program.
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    DispatchQueuedMessage(window_, message);
  }
  return true;
}

}  // namespace quellor::app
