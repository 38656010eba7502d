// The result-list commands as the main window runs them.
#pragma once

#include <memory>
#include <string>

#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/shell.h"

namespace quellor::app {

class WindowActions {
 public:
  virtual ~WindowActions() = default;
  // `command` is the id of a result-action button, of a 定位 menu item, or of
  // 超级列表框1 for its double click.
  virtual void Run(int command) = 0;
};

// `shell` is the system's when null.
std::unique_ptr<WindowActions> MakeWindowActions(platform::Controls& controls, platform::Dialogs& dialogs,
                                                 platform::EventPump& events, const std::string& program_folder,
                                                 platform::Shell* shell = nullptr);

}  // namespace quellor::app
