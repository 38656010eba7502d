#include "app/window_search.h"

#include <chrono>

#include "app/search_commands.h"
#include "platform/fixed_drives.h"
#include "platform/system_charset.h"
#include "search/search_engine.h"

namespace quellor::app {

namespace {

// The longest the window thread appends rows before it serves its input again.
constexpr auto kDeliverySlice = std::chrono::milliseconds(12);

class EngineSearch : public WindowSearch {
 public:
  EngineSearch(HWND window, UINT wake_message, platform::Controls& controls, platform::Dialogs& dialogs)
      : controls_(controls),
        services_{dialogs, platform::SystemCharset(), &platform::FixedDriveRoots},
        // Workers only post: they never wait for the window thread.
        engine_([window, wake_message] { PostMessageA(window, wake_message, 0, 0); }) {}

  void Start() override { StartSearch(controls_, engine_, services_); }
  void Stop() override { StopSearch(controls_, engine_); }
  void MatchModeChanged() override { engine_.SetMatchMode(SelectedMatchMode(controls_)); }
  bool DeliverPending() override {
    ResultListDisplay display(controls_);
    return engine_.DeliverPending(display, std::chrono::steady_clock::now() + kDeliverySlice);
  }
  void StopAndWait() override { engine_.StopAndWait(); }
  void StopAll() override { engine_.StopAll(); }
  bool Idle() const override { return engine_.Idle(); }

 private:
  platform::Controls& controls_;
  SearchServices services_;
  search::SearchEngine engine_;
};

}  // namespace

std::unique_ptr<WindowSearch> MakeWindowSearch(HWND window, UINT wake_message, platform::Controls& controls,
                                               platform::Dialogs& dialogs) {
  return std::make_unique<EngineSearch>(window, wake_message, controls, dialogs);
}

}  // namespace quellor::app
