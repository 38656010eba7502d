// MainWindow: the program's one window. It builds every control at the
// window's DPI, wires the controls' callbacks, runs the start-up sequence in
// its creation event (drop target, search, stored settings), hands each user
// event to one command (a key to the command its mouse twin runs), keeps the
// focus on a control, lays itself out again when its DPI changes, and at
// destruction stops the search and stores the lists while the controls still
// exist.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "commands/settings.h"
#include "platform/shell.h"
#include "ui/controls.h"
#include "ui/dialogs.h"

namespace quellor::app {

class ActionHost;
class FileDropTarget;
class NamesBoxHint;
class PendingEvents;
class SearchDelivery;
class WindowControls;
class WindowFonts;
struct WindowKeyCallbacks;

class MainWindow {
 public:
  struct Options {
    std::string program_folder;
    // Tests answer the dialogs themselves; the window's own are used when null.
    ui::Dialogs* dialogs = nullptr;
    // Opens rows and the not-found report; the system's shell when null. Tests
    // see the requests instead of starting other programs.
    platform::Shell* shell = nullptr;
    // The process ends with the window (the program); tests keep running.
    bool quit_when_destroyed = true;
    // The drives of a whole-computer search; the fixed drives when null.
    // Tests search a drive of their choosing.
    std::function<std::vector<std::string>()> whole_computer_roots;
  };

  // Builds the window with all of its controls and runs the start-up sequence;
  // null when the window cannot be built. The window is not shown yet.
  static std::unique_ptr<MainWindow> Create(HINSTANCE instance, Options options);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Null once the window has been destroyed.
  HWND handle() const { return window_; }
  void Show(int show_command);

  // The drop target the window registered, for whoever drops onto it.
  IDropTarget* drop_target() const;
  ui::Controls* controls();

 private:
  MainWindow(HINSTANCE instance, Options options);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  bool OnCreate();
  bool CreateControls();
  void WireControls();
  WindowKeyCallbacks KeysOf(int control_id);
  void OnDpiChanged(int dpi, const RECT& suggested);
  void RememberFocus();
  void RestoreFocus();
  bool AnswerKey(int control_id, const MSG& key);
  void PressFocusedButton();
  void OnCommand(int id, int code);
  LRESULT OnNotify(const NMHDR& header);
  void OnClose();
  void Close();
  void WaitForSearchToEnd();
  void OnDestroy();
  void RunCommand(int id);

  HINSTANCE instance_;
  Options options_;
  commands::SettingsLocation location_;
  HWND window_ = nullptr;
  // The DPI the controls are laid out for, and their fonts at it.
  int dpi_ = 0;
  std::unique_ptr<WindowFonts> fonts_;
  // The control that had the focus when the window was last deactivated.
  HWND last_focus_ = nullptr;
  std::unique_ptr<WindowControls> controls_;
  std::unique_ptr<NamesBoxHint> hint_;
  std::unique_ptr<ui::Dialogs> own_dialogs_;
  ui::Dialogs* dialogs_ = nullptr;
  std::unique_ptr<PendingEvents> events_;
  std::unique_ptr<SearchDelivery> search_;
  std::unique_ptr<ActionHost> actions_;
  FileDropTarget* drop_target_ = nullptr;
  bool drop_registered_ = false;
  bool started_ = false;
  bool close_requested_ = false;
  bool closing_ = false;
};

}  // namespace quellor::app
