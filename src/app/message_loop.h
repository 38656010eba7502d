// The window's message loop, and the same handling of queued messages in the
// middle of a long command, so the window repaints and takes input meanwhile.
#pragma once

#include <windows.h>

#include "ui/dialogs.h"

namespace quellor::app {

// Handles one message taken from the thread's queue as the program's loop
// does: the dialog keys of `window` (Tab, arrows in a radio group) first,
// and focus rectangles shown once such a key is pressed.
void DispatchQueuedMessage(HWND window, MSG& message);

// Runs until the thread's quit message.
void RunMessageLoop(HWND window);

// The events of a window handled in the middle of a long command.
class PendingEvents : public ui::EventPump {
 public:
  // Both are read at every call: `window` is null once the window is
  // destroyed, `close_requested` set once the user asked to close it.
  PendingEvents(const HWND& window, const bool& close_requested)
      : window_(window), close_requested_(close_requested) {}
  // Handles every pending event; false once a close was asked for (or the
  // program is quitting), so that the command ends after its current item.
  bool ProcessPendingEvents() override;
  // Handles every pending message; false when the program is quitting (the
  // quit is left for the main loop).
  bool HandlePendingMessages();

 private:
  const HWND& window_;
  const bool& close_requested_;
};

}  // namespace quellor::app
