// What the window's result actions run with: the system's file operations,
// shell and clipboard, and the runner that lets one of them run at a time.
#pragma once

#include <memory>
#include <string>

#include "commands/action_runner.h"
#include "commands/result_actions.h"
#include "platform/clipboard.h"
#include "ui/dialogs.h"
#include "platform/file_operations.h"
#include "platform/shell.h"

namespace quellor::app {

class WindowActions {
 public:
  // `shell` is the system's when null.
  WindowActions(ui::Dialogs& dialogs, ui::EventPump& events, const std::string& program_folder,
                platform::Shell* shell);
  WindowActions(const WindowActions&) = delete;
  WindowActions& operator=(const WindowActions&) = delete;

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
