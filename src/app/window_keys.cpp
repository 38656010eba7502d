#include "app/window_keys.h"

#include "app/control_ids.h"

namespace quellor::app {

namespace {

enum Modifiers : unsigned { kPlain = 0, kShift = 1, kCtrl = 2, kAlt = 4 };

struct KeyBinding {
  int control;
  WPARAM key;
  unsigned modifiers;
  KeyAction action;
  int command;
};

constexpr KeyBinding kKeys[] = {
    {ids::超级列表框_结果, VK_RETURN, kPlain, KeyAction::RunCommand, ids::超级列表框_结果},
    {ids::超级列表框_结果, VK_APPS, kPlain, KeyAction::OpenMenu, 0},
    {ids::超级列表框_结果, VK_F10, kShift, KeyAction::OpenMenu, 0},
    {ids::超级列表框_结果, 'A', kCtrl, KeyAction::SelectAllRows, 0},
    {ids::超级列表框_结果, 'C', kCtrl, KeyAction::RunCommand, ids::结果键_复制选定路径},
    {ids::超级列表框_结果, 'S', kCtrl, KeyAction::RunCommand, ids::结果菜单_导出结果列表},
    {ids::超级列表框_结果, VK_DELETE, kPlain, KeyAction::RunCommand, ids::结果菜单_删除到回收站},
    {ids::超级列表框_结果, VK_DELETE, kShift, KeyAction::RunCommand, ids::结果键_永久删除},
    {ids::列表框_路径, VK_APPS, kPlain, KeyAction::OpenMenu, 0},
    {ids::列表框_路径, VK_F10, kShift, KeyAction::OpenMenu, 0},
    {ids::列表框_路径, VK_DELETE, kPlain, KeyAction::RunCommand, ids::路径菜单_删除当前路径},
    {ids::编辑框_文件名, VK_ESCAPE, kPlain, KeyAction::Keep, 0},
};

bool Held(int key) { return GetKeyState(key) < 0; }

unsigned HeldModifiers() {
  return (Held(VK_SHIFT) ? kShift : 0u) | (Held(VK_CONTROL) ? kCtrl : 0u) | (Held(VK_MENU) ? kAlt : 0u);
}

bool IsKeyDown(UINT message) { return message == WM_KEYDOWN || message == WM_SYSKEYDOWN; }
bool IsKeyUp(UINT message) { return message == WM_KEYUP || message == WM_SYSKEYUP; }

}  // namespace

KeyAnswer AnswerKey(int control_id, const MSG& message) {
  const bool down = IsKeyDown(message.message);
  if (!down && !IsKeyUp(message.message)) return {};
  const unsigned modifiers = down ? HeldModifiers() : 0;
  for (const KeyBinding& binding : kKeys) {
    if (binding.control != control_id || binding.key != message.wParam) continue;
    if (!down) return {KeyAction::Keep, 0};
    if (binding.modifiers == modifiers) return {binding.action, binding.command};
  }
  return {};
}

LRESULT DialogCode(int control_id, LRESULT code, const MSG* message) {
  if (message == nullptr || message->message != WM_KEYDOWN) return code;
  if (control_id == ids::编辑框_文件名 && message->wParam == VK_TAB) return code & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
  if (AnswerKey(control_id, *message).action != KeyAction::None) return code | DLGC_WANTMESSAGE;
  return code;
}

void ShowFocusOnceKeyboardMoves(HWND window, const MSG& message) {
  if (!IsKeyDown(message.message) || window == nullptr) return;
  switch (message.wParam) {
    case VK_TAB:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_MENU:
      break;
    default:
      return;
  }
  if (message.hwnd != window && !IsChild(window, message.hwnd)) return;
  // The system changes nothing, and tells no control, once they show.
  SendMessageA(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void HideFocusUntilKeyboardMoves(HWND window) {
  SendMessageA(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
}

}  // namespace quellor::app
