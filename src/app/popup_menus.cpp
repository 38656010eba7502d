#include "app/popup_menus.h"

#include <commctrl.h>

#include <span>

#include "app/control_ids.h"
#include "app/window_layout.h"

namespace quellor::app {

namespace {

struct MenuItem {
  int id;
  const char* caption;
};

constexpr MenuItem kPathItems[] = {{ids::路径菜单_删除当前路径, "删除当前路径"},
                                   {ids::路径菜单_删除全部路径, "删除全部路径"}};
constexpr MenuItem kResultItems[] = {{ids::结果菜单_打开文件所在位置, "打开文件所在位置"},
                                     {ids::结果菜单_批量勾选选定项目, "批量勾选选定项目"},
                                     {ids::结果菜单_删除到回收站, "删除到回收站"},
                                     {ids::结果菜单_撤销上次复制移动, "撤销上次复制/移动"},
                                     {ids::结果菜单_导出结果列表, "导出结果列表…"},
                                     // The column header's click, for the keyboard: the header takes no focus.
                                     {ids::结果列标题_排序, "按路径排序"}};

std::span<const MenuItem> ItemsOf(PopupMenu which) {
  if (which == PopupMenu::Paths) return kPathItems;
  return kResultItems;
}

// Null when the system cannot make it.
HMENU BuildMenu(PopupMenu which) {
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return nullptr;
  for (const MenuItem& item : ItemsOf(which)) {
    if (!AppendMenuA(menu, MF_STRING, item.id, item.caption)) {
      DestroyMenu(menu);
      return nullptr;
    }
  }
  return menu;
}

// The bottom left corner of the list's current entry (the focused row of the
// result list) on the screen; of the list's own area when that entry is out
// of sight or there is none.
POINT CurrentEntryCorner(HWND list, PopupMenu which) {
  RECT area{};
  GetClientRect(list, &area);
  RECT entry{};
  bool found = false;
  if (which == PopupMenu::Paths) {
    LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) index = SendMessageA(list, LB_GETCARETINDEX, 0, 0);
    found = index >= 0 && SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index),
                                       reinterpret_cast<LPARAM>(&entry)) != LB_ERR;
  } else {
    const LRESULT row = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
    entry.left = LVIR_LABEL;
    found = row >= 0 && SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&entry));
  }
  RECT visible{};
  POINT corner{area.left, area.top};
  if (found && IntersectRect(&visible, &entry, &area)) corner = POINT{visible.left, visible.bottom};
  ClientToScreen(list, &corner);
  return corner;
}

POINT BesideCursor(int dpi) {
  POINT place{};
  GetCursorPos(&place);
  place.x += ScaleToDpi(kMenuOffset, dpi);
  place.y += ScaleToDpi(kMenuOffset, dpi);
  return place;
}

}  // namespace

void ShowPopupMenu(HWND window, PopupMenu which, bool from_keyboard, int dpi) {
  HMENU menu = BuildMenu(which);
  if (menu == nullptr) return;
  HWND list = GetDlgItem(window, which == PopupMenu::Paths ? ids::列表框_路径 : ids::超级列表框_结果);
  const POINT place = from_keyboard ? CurrentEntryCorner(list, which) : BesideCursor(dpi);
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, place.x, place.y, 0, window, nullptr);
  DestroyMenu(menu);
}

}  // namespace quellor::app
