// The main window's events handled in the middle of a long command.
#pragma once

#include "ui/dialogs.h"

namespace quellor::app {

class MainWindow;

class WindowEventPump : public ui::EventPump {
 public:
  explicit WindowEventPump(MainWindow& window) : window_(window) {}
  // Handles every pending event; false once a close was asked for (or the
  // program is quitting), so that the command ends after its current item.
  bool ProcessPendingEvents() override;
  // Handles every pending message as the program's loop does, the dialog keys
  // included; false when the program is quitting (the quit is left for the
  // main loop).
  bool HandlePendingMessages();

 private:
  MainWindow& window_;
};

}  // namespace quellor::app
