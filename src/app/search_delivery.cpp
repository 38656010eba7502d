#include "app/search_delivery.h"

#include <objbase.h>

#include "ntfs/helper_client.h"
#include "platform/fixed_drives.h"
#include "platform/helper_process.h"
#include "platform/system_charset.h"

namespace quellor::app {

namespace {

// How rows travel from the walk to the screen. Each number was set by timing
// the window under Wine while a million rows streamed in.
//
// - kBatching, 1024 rows or 30 ms: a worker hands its rows over
//   (one lock, at most one wake message) when it holds this many or this
//   long after its last hand-over, so a fast walk locks once per thousand
//   rows and a slow one still shows its rows while the user watches.
// - kTimerPeriodMs, 50 ms: rows are taken on a timer, never at the wake message.
//   A timer message comes only when no input waits, so typing and clicks go
//   first; posted messages come before input and would starve it. Each tick
//   takes what waits, so the list and the status line repaint a few times a
//   second rather than at every batch.
// - kSlice, 12 ms: the longest one tick appends rows before the window serves
//   its input again, so no answer takes much longer than a frame.
// - kShowPeriod, 250 ms: how often the list is told its new length while rows
//   stream in. Each time it redraws its scroll bars, which under Wine costs
//   20-60 ms whatever the count: done at every tick it would take most of the
//   window thread's time. Showing gets a tick of its own, so no tick pays for
//   both that and a slice.
constexpr search::Batching kBatching{/*rows=*/1024, /*delay=*/std::chrono::milliseconds(30)};
constexpr UINT kTimerPeriodMs = 50;
constexpr auto kSlice = std::chrono::milliseconds(12);
constexpr auto kShowPeriod = std::chrono::milliseconds(250);

// The window's volume indexes: this process's rights, and a helper started
// elevated through the system's prompt where they fall short.
std::shared_ptr<search::WholeComputerIndexes> WindowVolumeIndexes() {
  search::WholeComputerIndexes::Services services = search::PlatformVolumeServices();
  services.helper = std::make_unique<ntfs::HelperClient>(
      [](const std::vector<std::string>& arguments, int& error, bool& declined) {
        // The shell starts an elevated program; it wants COM on the calling thread, a run's worker.
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        std::unique_ptr<platform::ChildProcess> helper =
            platform::StartThisProgram(arguments, /*elevated=*/true, error);
        if (SUCCEEDED(com)) CoUninitialize();
        declined = !helper && error == ERROR_CANCELLED;  // the user said no to the system's prompt
        return helper;
      });
  return std::make_shared<search::WholeComputerIndexes>(std::move(services));
}

}  // namespace

SearchDelivery::SearchDelivery(HWND window, ui::Controls& controls, ui::Dialogs& dialogs,
                               const commands::SettingsLocation& settings,
                               std::function<std::vector<std::string>()> whole_computer_roots)
    : window_(window),
      controls_(controls),
      services_{dialogs, platform::NameCharset(),
                whole_computer_roots ? std::move(whole_computer_roots) : &platform::FixedDriveRoots,
                WindowVolumeIndexes(), &settings},
      // Workers only post: they never wait for the window thread.
      engine_([window] { PostMessageA(window, kWakeMessage, 0, 0); }, kBatching) {}

void SearchDelivery::Start() {
  commands::StartSearch(controls_, engine_, services_);
  last_shown_ = {};  // the first rows of a run are shown at the next tick
}

void SearchDelivery::Stop() { commands::StopSearch(controls_, engine_); }

void SearchDelivery::MatchModeChanged() { engine_.SetMatchMode(commands::SelectedMatchMode(controls_)); }

bool SearchDelivery::HandleMessage(UINT message, WPARAM wparam) {
  if (message == kWakeMessage) {
    if (!timer_on_ && SetTimer(window_, kDeliveryTimer, kTimerPeriodMs, nullptr) != 0) timer_on_ = true;
    return true;
  }
  if (message != WM_TIMER || wparam != kDeliveryTimer) return false;
  // Without waiting rows the timer stops; the next wake starts it again.
  if (!DeliverTurn()) {
    KillTimer(window_, kDeliveryTimer);
    timer_on_ = false;
  }
  return true;
}

bool SearchDelivery::DeliverTurn() {
  ui::ListView& list = controls_.超级列表框_结果;
  const auto now = std::chrono::steady_clock::now();
  if (!list.AllRowsShown() && now - last_shown_ >= kShowPeriod) {
    list.RowsAppended();
    last_shown_ = now;
    return true;
  }
  commands::ResultListDisplay display(controls_);
  const bool rows_waiting = engine_.DeliverPending(display, now + kSlice);
  return rows_waiting || !list.AllRowsShown();
}

void SearchDelivery::StopAll() { engine_.StopAll(); }

bool SearchDelivery::Idle() const { return engine_.Idle(); }

bool SearchDelivery::Finished() const { return engine_.Idle() && engine_.AllDelivered(); }

void SearchDelivery::StopAndWait() { engine_.StopAndWait(); }

}  // namespace quellor::app
