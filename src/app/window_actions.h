// What the window's result actions run with: the system's file operations,
// shell and clipboard, and the runner that lets one of them run at a time.
#pragma once

#include <memory>
#include <string>

#include "actions/action_runner.h"
#include "actions/result_actions.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/file_operations.h"
#include "platform/shell.h"

namespace quellor::app {

class WindowActions {
 public:
  // `shell` is the system's when null.
  WindowActions(platform::Dialogs& dialogs, platform::EventPump& events, const std::string& program_folder,
                platform::Shell* shell);
  WindowActions(const WindowActions&) = delete;
  WindowActions& operator=(const WindowActions&) = delete;

  actions::ActionServices& services() { return services_; }
  actions::ActionRunner& runner() { return runner_; }

 private:
  std::unique_ptr<platform::FileOperations> files_;
  std::unique_ptr<platform::Shell> own_shell_;
  std::unique_ptr<platform::Clipboard> clipboard_;
  actions::ActionServices services_;
  actions::ActionRunner runner_;
};

}  // namespace quellor::app
