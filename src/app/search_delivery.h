// The search as the main window drives it: the window owns the engine, posts
// itself a message when rows wait, mirrors the match mode and the stop into
// the engine, and stops and waits for the run before its controls go.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/controls.h"
#include "ui/dialogs.h"

namespace quellor::app {

class WindowSearch {
 public:
  virtual ~WindowSearch() = default;
  virtual void Start() = 0;             // 按钮_立即搜索
  virtual void Stop() = 0;              // 按钮_停止搜索
  virtual void MatchModeChanged() = 0;  // after LoadSettings and each click of the match-mode radio buttons
  // Hands rows and texts to the controls for about one time slice; true while
  // rows are still waiting.
  virtual bool DeliverPending() = 0;
  virtual void StopAndWait() = 0;       // before the controls are destroyed
  virtual void StopAll() = 0;           // every run, when the window closes
  virtual bool Idle() const = 0;        // no worker left
};

// `wake_message` is posted to `window` from worker threads when rows or texts wait.
std::unique_ptr<WindowSearch> MakeWindowSearch(HWND window, UINT wake_message, ui::Controls& controls,
                                               ui::Dialogs& dialogs);

}  // namespace quellor::app
