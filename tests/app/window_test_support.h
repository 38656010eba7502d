// Helpers of the window tests: an OLE thread, a message pump, a shell drop
// list, a screenshot, and Wine paths.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace quellor::testing {

// Handles the thread's messages (as the program's loop does, in their wide
// form) for `duration`.
void PumpMessages(std::chrono::milliseconds duration, HWND dialog_window = nullptr);
// Handles messages until `done` holds or `timeout` passes; the final value of `done`.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout, HWND dialog_window = nullptr);

// A data object holding one CF_HDROP list of `paths`, in wide form (the paths
// given in UTF-8) or ANSI form (given in the code page), as the shell hands it
// to a drop target.
IDataObject* NewFileDropData(const std::vector<std::string>& paths, bool wide);
// A data object with text only.
IDataObject* NewTextData(const std::string& text);

// The window as it is on the screen, title bar and frame included, as a BMP file.
bool SaveWindowBitmap(HWND window, const std::string& path);

// A POSIX path as Wine's Windows side sees it (drive Z:).
std::string WinePath(const std::string& unix_path);

std::string ClassName(HWND window);
std::string Text(HWND window);
RECT ClientRectOf(HWND control);  // in the parent's client coordinates

}  // namespace quellor::testing
