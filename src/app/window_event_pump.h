// The main window's events handled in the middle of a long command.
#pragma once

#include "platform/dialogs.h"

namespace quellor::app {

class MainWindow;

class WindowEventPump : public platform::EventPump {
 public:
  explicit WindowEventPump(MainWindow& window) : window_(window) {}
  // Handles every pending event; false once a close was asked for (or the
  // program is quitting), so that the command ends after its current item.
  bool ProcessPendingEvents() override;

 private:
  MainWindow& window_;
};

}  // namespace quellor::app
