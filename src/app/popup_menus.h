// The pop-up menus of the folder list and the result list: their items, and
// where they open.
#pragma once

#include <windows.h>

namespace quellor::app {

enum class PopupMenu { Paths, Results };

// Opens `menu` over its list in `window` and runs it; the item chosen comes to
// `window` as WM_COMMAND. For a press of the mouse it opens at the cursor
// moved kMenuOffset right and down (scaled to the window's `dpi`), for a key
// under the list's current entry.
void ShowPopupMenu(HWND window, PopupMenu menu, bool from_keyboard, int dpi);

}  // namespace quellor::app
