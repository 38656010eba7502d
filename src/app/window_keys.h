// The keys the main window answers itself. The dialog manager of the message
// loop moves the focus (Tab, Shift+Tab, the arrows in a radio group) and each
// control keeps its own keys (Space on a button, the arrows in a list); the
// keys here are the keyboard twins of mouse actions, and each runs what its
// twin runs: Enter in the result list its double click, the menu key and
// Shift+F10 in either list its right press, Delete in the folder list the
// menu item 删除当前路径, in the result list the menu item 删除到回收站
// (Shift+Delete there deletes for good, after a question naming the count)
// and Ctrl+S the menu item 导出结果列表….
#pragma once

#include <windows.h>

namespace quellor::app {

enum class KeyAction {
  None,
  RunCommand,     // the command table's `command`
  OpenMenu,       // the control's pop-up menu, at its current entry
  SelectAllRows,  // every row of the result list
  Keep,           // kept from the control: Esc in the names box would close the window
};

struct KeyAnswer {
  KeyAction action = KeyAction::None;
  int command = 0;
};

// What the window does with a key message (key down or up, system or not)
// sent to its control `control_id`. A key's release is kept from the control
// as its press was, so that the system makes nothing more of it.
KeyAnswer AnswerKey(int control_id, const MSG& message);

// The control's answer to WM_GETDLGCODE for the key message `message` (null
// for a general query), given the control's own `code`: the keys above reach
// the control rather than the dialog manager, and the names box, which would
// take every key, lets Tab and Shift+Tab through.
LRESULT DialogCode(int control_id, LRESULT code, const MSG* message);

// Focus rectangles stay hidden until the keyboard moves the focus; then
// `window` shows them in every control. Called for each queued message.
void ShowFocusOnceKeyboardMoves(HWND window, const MSG& message);
// At start: hidden.
void HideFocusUntilKeyboardMoves(HWND window);

}  // namespace quellor::app
