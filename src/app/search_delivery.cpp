#include "app/search_delivery.h"

#include <chrono>

#include "commands/search_commands.h"
#include "platform/fixed_drives.h"
#include "platform/system_charset.h"
#include "search/search_engine.h"

namespace quellor::app {

namespace {

// The longest the window thread appends rows before it serves its input again.
constexpr auto kDeliverySlice = std::chrono::milliseconds(12);
// How often the list is told its new length while rows stream in. Each time it
// redraws its scroll bars, which under Wine takes 20-60 ms whatever the count:
// done on every delivery it would take most of the window thread's time.
constexpr auto kShowPeriod = std::chrono::milliseconds(250);

class EngineSearch : public WindowSearch {
 public:
  EngineSearch(HWND window, UINT wake_message, ui::Controls& controls, ui::Dialogs& dialogs)
      : controls_(controls),
        services_{dialogs, platform::SystemCharset(), &platform::FixedDriveRoots},
        // Workers only post: they never wait for the window thread.
        engine_([window, wake_message] { PostMessageA(window, wake_message, 0, 0); }) {}

  void Start() override {
    commands::StartSearch(controls_, engine_, services_);
    last_shown_ = {};  // the first rows of a run are shown at once
  }
  void Stop() override { commands::StopSearch(controls_, engine_); }
  void MatchModeChanged() override { engine_.SetMatchMode(commands::SelectedMatchMode(controls_)); }
  // Showing waiting rows takes a turn of its own, so no turn costs both that and a slice.
  bool DeliverPending() override {
    ui::ListView& list = controls_.超级列表框_结果;
    const auto now = std::chrono::steady_clock::now();
    if (!list.AllRowsShown() && now - last_shown_ >= kShowPeriod) {
      list.RowsAppended();
      last_shown_ = now;
      return true;
    }
    commands::ResultListDisplay display(controls_);
    const bool rows_waiting = engine_.DeliverPending(display, now + kDeliverySlice);
    return rows_waiting || !list.AllRowsShown();
  }
  void StopAndWait() override { engine_.StopAndWait(); }
  void StopAll() override { engine_.StopAll(); }
  bool Idle() const override { return engine_.Idle(); }

 private:
  ui::Controls& controls_;
  commands::SearchServices services_;
  search::SearchEngine engine_;
  std::chrono::steady_clock::time_point last_shown_{};
};

}  // namespace

std::unique_ptr<WindowSearch> MakeWindowSearch(HWND window, UINT wake_message, ui::Controls& controls,
                                               ui::Dialogs& dialogs) {
  return std::make_unique<EngineSearch>(window, wake_message, controls, dialogs);
}

}  // namespace quellor::app
