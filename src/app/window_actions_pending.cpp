// Until the result actions are on this branch: their buttons do nothing.
#include "app/window_actions.h"

#include "app/control_ids.h"

namespace quellor::app {

bool WindowActions::IsLong(int command) {
  return command == ids::按钮3 || command == ids::按钮5 || command == ids::按钮4;
}

namespace {
class NoActions : public WindowActions {
 public:
  void Run(int) override {}
};
}  // namespace

std::unique_ptr<WindowActions> MakeWindowActions(HWND, platform::Controls&, platform::Dialogs&, platform::EventPump&,
                                                 const std::string&) {
  return std::make_unique<NoActions>();
}

}  // namespace quellor::app
