// Helpers of the window tests: an OLE thread, a message pump, a shell drop
// list, a screenshot, and Wine paths.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace quellor::testing {

// Handles the thread's messages as the program's loop does (in their wide
// form, the dialog keys of `dialog_window` first) for `duration`.
void PumpMessages(std::chrono::milliseconds duration, HWND dialog_window = nullptr);
// Handles messages until `done` holds or `timeout` passes; the final value of `done`.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout, HWND dialog_window = nullptr);

// A data object holding one CF_HDROP list of `paths`, in wide form (the paths
// given in UTF-8) or ANSI form (given in the code page), as the shell hands it
// to a drop target.
IDataObject* NewFileDropData(const std::vector<std::string>& paths, bool wide);
// A data object with text only.
IDataObject* NewTextData(const std::string& text);
// Replaces the clipboard's content with `text` in the ANSI form.
void PutTextOnClipboard(const std::string& text);

// The window as it is on the screen, title bar and frame included, as a BMP file.
bool SaveWindowBitmap(HWND window, const std::string& path);

// Presses `key` with `held` held down, as a keyboard does (SendInput), to the
// focused window; true when the system took every key event.
bool PressKeys(WORD key, std::initializer_list<WORD> held = {});

// A POSIX path as Wine's Windows side sees it (drive Z:).
std::string WinePath(const std::string& unix_path);

std::string ClassName(HWND window);
std::string Text(HWND window);
RECT ClientRectOf(HWND control);  // in the parent's client coordinates
// How large `caption` is drawn in the control's own font.
SIZE CaptionExtent(HWND control, const char* caption);

// A pop-up menu as it opened: its items and where it stood on the screen.
struct SeenMenu {
  std::vector<std::string> items;
  RECT place{};
};
// Calls `open`, which opens a pop-up menu and runs its loop; the menu is read
// from inside that loop and closed.
SeenMenu MenuOpenedBy(const std::function<void()>& open);

}  // namespace quellor::testing
