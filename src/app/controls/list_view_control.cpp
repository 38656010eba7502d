#include "app/controls/win32_controls.h"

#include <commctrl.h>

namespace quellor::app {

namespace {
constexpr UINT kUncheckedImage = 1;
constexpr UINT kCheckedImage = 2;
}  // namespace

int Win32ListView::RowCount() const { return static_cast<int>(SendMessageA(window_, LVM_GETITEMCOUNT, 0, 0)); }

std::string Win32ListView::RowText(int row) const {
  if (row < 0 || row >= RowCount()) return {};
  // The copy is cut to the buffer without saying so: grow until it fits with room to spare.
  for (std::size_t size = 512;; size *= 2) {
    std::string text(size, '\0');
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(size);
    const LRESULT got = SendMessageA(window_, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    if (got < 0) return {};
    if (static_cast<std::size_t>(got) + 1 < size || size >= (1u << 20)) {
      text.resize(static_cast<std::size_t>(got));
      return text;
    }
  }
}

bool Win32ListView::RowChecked(int row) const {
  const UINT state = static_cast<UINT>(SendMessageA(window_, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
  return (state >> 12) == kCheckedImage;
}

void Win32ListView::SetRowChecked(int row, bool checked) {
  if (row < 0) return;  // -1 would mean every row
  LVITEMA item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(checked ? kCheckedImage : kUncheckedImage);
  SendMessageA(window_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

bool Win32ListView::RowSelected(int row) const {
  return (SendMessageA(window_, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

int Win32ListView::CurrentRow() const {
  return static_cast<int>(SendMessageA(window_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void Win32ListView::AppendRows(const std::vector<std::string>& texts) {
  if (texts.empty()) return;
  const bool batch = texts.size() > 1;
  if (batch) SendMessageA(window_, WM_SETREDRAW, FALSE, 0);
  for (const std::string& text : texts) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = RowCount();
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(window_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  if (batch) {
    SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window_, nullptr, TRUE);
  }
}

bool Win32ListView::DeleteRow(int row) {
  if (row < 0) return false;
  return SendMessageA(window_, LVM_DELETEITEM, row, 0) != FALSE;
}

void Win32ListView::DeleteAllRows() { SendMessageA(window_, LVM_DELETEALLITEMS, 0, 0); }

}  // namespace quellor::app
