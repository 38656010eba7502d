// The search as the window runs it: it owns the engine, wakes the window when
// rows wait, takes them into the result list at a steady pace on a timer of
// its own, mirrors the match mode and the stop into the engine, and stops and
// waits for the run before the controls go. The window only forwards its
// wake message and timer here.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "commands/search_commands.h"
#include "search/search_engine.h"
#include "ui/controls.h"
#include "ui/dialogs.h"

namespace quellor::app {

class SearchDelivery {
 public:
  // Workers wake `window` with a message of its own; rows and texts go to
  // `controls`. A whole-computer search searches `whole_computer_roots` (the
  // fixed drives when null), each through its volume's index where one can be
  // read (the answer about reading it with an administrator's rights is kept
  // in `settings`, which must outlive this).
  SearchDelivery(HWND window, ui::Controls& controls, ui::Dialogs& dialogs, const commands::SettingsLocation& settings,
                 std::function<std::vector<std::string>()> whole_computer_roots);
  SearchDelivery(const SearchDelivery&) = delete;
  SearchDelivery& operator=(const SearchDelivery&) = delete;

  void Start();             // 按钮_立即搜索
  void Stop();              // 按钮_停止搜索
  void MatchModeChanged();  // after the stored settings are loaded and at each click of a match-mode radio button

  // The wake message and the delivery timer; false for every other message.
  bool HandleMessage(UINT message, WPARAM wparam);

  // Asks every run to stop (the window is closing); Idle() tells when their
  // workers have ended, so the window can go on painting meanwhile.
  void StopAll();
  bool Idle() const;
  // No run is working and every row a run found is in the list's store: what
  // a command that reads every row waits for.
  bool Finished() const;
  // Before the controls are destroyed.
  void StopAndWait();

  static constexpr UINT kWakeMessage = WM_APP + 1;
  static constexpr UINT_PTR kDeliveryTimer = 1;

 private:
  // One timer turn: shows the rows taken so far, or takes more for one slice.
  // True while rows are still waiting.
  bool DeliverTurn();

  HWND window_;
  ui::Controls& controls_;
  commands::SearchServices services_;
  search::SearchEngine engine_;
  bool timer_on_ = false;
  std::chrono::steady_clock::time_point last_shown_{};
};

}  // namespace quellor::app
