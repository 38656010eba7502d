// Hosts the window's result actions: gives them the system's file operations,
// shell and clipboard, and the runner that lets one of them run at a time.
#pragma once

#include <memory>
#include <string>

#include "commands/action_runner.h"
#include "commands/result_actions.h"
#include "platform/clipboard.h"
#include "platform/file_operations.h"
#include "platform/shell.h"
#include "ui/dialogs.h"

namespace quellor::app {

class ActionHost {
 public:
  // `shell` is the system's when null.
  ActionHost(ui::Dialogs& dialogs, ui::EventPump& events, const std::string& program_folder,
             platform::Shell* shell);
  ActionHost(const ActionHost&) = delete;
  ActionHost& operator=(const ActionHost&) = delete;

  commands::ActionServices& services() { return services_; }
  commands::ActionRunner& runner() { return runner_; }

 private:
  std::unique_ptr<platform::FileOperations> files_;
  std::unique_ptr<platform::Shell> own_shell_;
  std::unique_ptr<platform::Clipboard> clipboard_;
  commands::ActionServices services_;
  commands::ActionRunner runner_;
};

}  // namespace quellor::app
