#include "app/message_loop.h"

#include <windows.h>

#include "app/main_window.h"

namespace quellor::app {

bool WindowEventPump::ProcessPendingEvents() {
  return HandlePendingMessages() && !window_.close_requested() && window_.handle() != nullptr;
}

bool WindowEventPump::HandlePendingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Left for the main loop, which ends the program.
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    window_.Dispatch(message);
  }
  return true;
}

}  // namespace quellor::app
