#include "app/controls/win32_controls.h"

namespace quellor::app {

bool AnswerWindowKeys(const WindowKeyCallbacks& keys, HWND control, UINT message, WPARAM wparam, LPARAM lparam,
                      LRESULT& result) {
  switch (message) {
    case WM_GETDLGCODE:
      if (!keys.dialog_code) return false;
      result =
          keys.dialog_code(DefSubclassProc(control, message, wparam, lparam), reinterpret_cast<const MSG*>(lparam));
      return true;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP: {
      if (!keys.answer || !keys.answer(MSG{control, message, wparam, lparam, 0, {}})) return false;
      // The character the key would also make (Ctrl+A's, Enter's) is not for the control.
      MSG character;
      if (message == WM_KEYDOWN) PeekMessageW(&character, control, WM_CHAR, WM_CHAR, PM_REMOVE);
      result = 0;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace quellor::app
