#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "app/controls/win32_controls.h"
#include "platform/system_charset.h"
#include "platform/win32/wide_text_win32.h"
#include "text/path_scan.h"
#include "text/utf16.h"

namespace quellor::app {

namespace {

constexpr UINT kUncheckedImage = 1;
constexpr UINT kCheckedImage = 2;
constexpr UINT_PTR kSubclassId = 0x5155;  // any value: the procedure tells our subclass apart

UINT CheckImage(bool checked) { return INDEXTOSTATEIMAGEMASK(checked ? kCheckedImage : kUncheckedImage); }

// Copies the path `text` (UTF-8) into a UTF-16 buffer of `capacity`
// characters, cut at a character boundary when it does not fit, and always
// terminated.
void CopyCutWide(std::string_view text, wchar_t* buffer, int capacity) {
  if (buffer == nullptr || capacity <= 0) return;
  std::wstring wide = platform::win32::WideName(text).value_or(std::wstring());
  std::size_t length = std::min<std::size_t>(wide.size(), static_cast<std::size_t>(capacity) - 1);
  if (length > 0 && length < wide.size() && text::IsHighSurrogate(wide[length - 1])) --length;
  std::copy_n(wide.data(), length, buffer);
  buffer[length] = L'\0';
}

// The same into a buffer of `capacity` bytes in the code page, for a reader
// that asks in ANSI: what the code page cannot write shows as its default
// character, and the text is cut at a character boundary.
void CopyCutAnsi(std::string_view text, char* buffer, int capacity) {
  if (buffer == nullptr || capacity <= 0) return;
  const std::wstring wide = platform::win32::WideName(text).value_or(std::wstring());
  std::string ansi(wide.size() * 2 + 1, '\0');
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(),
                                       static_cast<int>(ansi.size()), nullptr, nullptr);
  ansi.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
  const text::Charset& cs = platform::SystemCharset();
  std::size_t length = 0;
  while (length < ansi.size()) {
    const std::size_t next = length + cs.CharLength(ansi, length);
    if (next + 1 > static_cast<std::size_t>(capacity)) break;
    length = next;
  }
  std::copy_n(ansi.data(), length, buffer);
  buffer[length] = '\0';
}

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  if (prefix.size() > text.size()) return false;
  return text::FindIgnoringAsciiCase(platform::NameCharset(), text.substr(0, prefix.size()), prefix) == 0;
}

}  // namespace

Win32ListView::Win32ListView(HWND window)
    : window_(window),
      subclassed_(SetWindowSubclass(window_, &Win32ListView::SubclassProc, kSubclassId,
                                    reinterpret_cast<DWORD_PTR>(this)) != FALSE) {
  // The check bits come from the store whenever the list draws or is asked.
  SendMessageA(window_, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
}

Win32ListView::~Win32ListView() {
  if (IsWindow(window_)) RemoveWindowSubclass(window_, &Win32ListView::SubclassProc, kSubclassId);
}

void Win32ListView::SetCount(int count, DWORD flags) {
  SendMessageA(window_, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), static_cast<LPARAM>(flags));
  shown_count_ = count;
}

void Win32ListView::RowsAppended() {
  if (rows_.Count() == shown_count_) return;
  // The rows shown already stay as they are: no repaint of them, no scroll.
  SetCount(rows_.Count(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

void Win32ListView::RowsChanged() {
  if (rows_.Count() != shown_count_) {
    SetCount(rows_.Count(), 0);
  }
  InvalidateRect(window_, nullptr, FALSE);
}

void Win32ListView::Deselect(const std::vector<int>& selected, int focused) {
  LVITEMA item{};
  if (static_cast<int>(selected.size()) * 2 > rows_.Count()) {
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(window_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    return;
  }
  // A few rows: each is cleared alone rather than all of a million.
  item.stateMask = LVIS_SELECTED;
  for (int row : selected) SendMessageA(window_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  item.stateMask = LVIS_FOCUSED;
  if (focused >= 0) SendMessageA(window_, LVM_SETITEMSTATE, static_cast<WPARAM>(focused), reinterpret_cast<LPARAM>(&item));
}

// The list keeps its selection by index: it is taken off before the rows go
// and put back on the rows that remain, under one repaint.
void Win32ListView::RemoveRows(const std::vector<int>& rows) {
  if (rows.empty()) return;
  const std::vector<int> selected = SelectedRows();
  const int focused = static_cast<int>(SendMessageA(window_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  SendMessageA(window_, WM_SETREDRAW, FALSE, 0);
  Deselect(selected, focused);

  rows_.Remove(rows);
  SetCount(rows_.Count(), 0);

  // Each kept row moves up by the number of removed rows before it.
  const auto new_index = [&rows](int old) -> int {
    const auto at = std::lower_bound(rows.begin(), rows.end(), old);
    if (at != rows.end() && *at == old) return -1;
    return old - static_cast<int>(at - rows.begin());
  };
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED;
  item.state = LVIS_SELECTED;
  std::vector<int> kept_selected;
  for (int old : selected) {
    if (const int row = new_index(old); row >= 0) kept_selected.push_back(row);
  }
  if (!kept_selected.empty() && static_cast<int>(kept_selected.size()) == rows_.Count()) {
    SendMessageA(window_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  } else {
    for (int row : kept_selected) SendMessageA(window_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  }
  if (focused >= 0 && new_index(focused) >= 0) {
    item.stateMask = LVIS_FOCUSED;
    item.state = LVIS_FOCUSED;
    SendMessageA(window_, LVM_SETITEMSTATE, static_cast<WPARAM>(new_index(focused)), reinterpret_cast<LPARAM>(&item));
  }
  SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(window_, nullptr, TRUE);
}

bool Win32ListView::RowSelected(int row) const {
  if (!rows_.Valid(row)) return false;
  return (SendMessageA(window_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

std::vector<int> Win32ListView::SelectedRows() const {
  std::vector<int> selected;
  const int count = static_cast<int>(SendMessageA(window_, LVM_GETSELECTEDCOUNT, 0, 0));
  if (count <= 0) return selected;
  selected.reserve(static_cast<std::size_t>(count));
  if (count >= rows_.Count()) {
    for (int row = 0; row < rows_.Count(); ++row) selected.push_back(row);
    return selected;
  }
  int row = -1;
  while ((row = static_cast<int>(SendMessageA(window_, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED))) >= 0) {
    if (!selected.empty() && row <= selected.back()) break;  // wrapped around
    selected.push_back(row);
  }
  return selected;
}

int Win32ListView::CurrentRow() const {
  return static_cast<int>(SendMessageA(window_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void Win32ListView::SelectRows(const std::vector<int>& rows) {
  const std::vector<int> selected = SelectedRows();
  const int focused = static_cast<int>(SendMessageA(window_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  // Nothing selected or focused and nothing to select: a million rows untouched.
  if (selected.empty() && focused < 0 && rows.empty()) return;
  SendMessageA(window_, WM_SETREDRAW, FALSE, 0);
  Deselect(selected, focused);
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED;
  item.state = LVIS_SELECTED;
  if (!rows.empty() && static_cast<int>(rows.size()) == rows_.Count()) {
    SendMessageA(window_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  } else {
    for (int row : rows) SendMessageA(window_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  }
  if (!rows.empty()) {
    item.stateMask = LVIS_FOCUSED;
    item.state = LVIS_FOCUSED;
    SendMessageA(window_, LVM_SETITEMSTATE, static_cast<WPARAM>(rows.front()), reinterpret_cast<LPARAM>(&item));
    SendMessageA(window_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(rows.front()), FALSE);
  }
  SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(window_, nullptr, TRUE);
}

search::RowOrder Win32ListView::HeaderOrder() const {
  const HWND header = reinterpret_cast<HWND>(SendMessageA(window_, LVM_GETHEADER, 0, 0));
  HDITEMA column{};
  column.mask = HDI_FORMAT;
  if (header == nullptr || !SendMessageA(header, HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(&column))) {
    return search::RowOrder::Found;
  }
  if ((column.fmt & HDF_SORTUP) != 0) return search::RowOrder::PathAscending;
  if ((column.fmt & HDF_SORTDOWN) != 0) return search::RowOrder::PathDescending;
  return search::RowOrder::Found;
}

void Win32ListView::SetHeaderOrder(search::RowOrder order) {
  const HWND header = reinterpret_cast<HWND>(SendMessageA(window_, LVM_GETHEADER, 0, 0));
  HDITEMA column{};
  column.mask = HDI_FORMAT;
  if (header == nullptr || !SendMessageA(header, HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(&column))) return;
  column.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
  if (order == search::RowOrder::PathAscending) column.fmt |= HDF_SORTUP;
  if (order == search::RowOrder::PathDescending) column.fmt |= HDF_SORTDOWN;
  SendMessageA(header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&column));
}

void Win32ListView::SelectAllRows() {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED;
  item.state = LVIS_SELECTED;
  SendMessageA(window_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

// The list asks for a row's text and check box in UTF-16, as the window
// answers WM_NOTIFYFORMAT, and gets the real path; a list that asks in ANSI
// all the same gets the code page's text.
bool Win32ListView::AnswerNotify(const NMHDR& header, LRESULT& result) const {
  if (header.hwndFrom != window_) return false;
  if (header.code == LVN_GETDISPINFOA || header.code == LVN_GETDISPINFOW) {
    const bool wide = header.code == LVN_GETDISPINFOW;
    // Both forms have the same layout up to the text pointer's type.
    LVITEMA& item = const_cast<NMLVDISPINFOA&>(reinterpret_cast<const NMLVDISPINFOA&>(header)).item;
    result = 0;
    if (!rows_.Valid(item.iItem)) return true;
    if ((item.mask & LVIF_TEXT) != 0 && item.iSubItem == 0) {
      if (wide) {
        CopyCutWide(rows_.Path(item.iItem), reinterpret_cast<wchar_t*>(item.pszText), item.cchTextMax);
      } else {
        CopyCutAnsi(rows_.Path(item.iItem), item.pszText, item.cchTextMax);
      }
    }
    if ((item.mask & LVIF_STATE) != 0 && (item.stateMask & LVIS_STATEIMAGEMASK) != 0) {
      item.state = (item.state & ~LVIS_STATEIMAGEMASK) | CheckImage(rows_.Checked(item.iItem));
    }
    return true;
  }
  if (header.code == LVN_ODFINDITEMA || header.code == LVN_ODFINDITEMW) {
    // Typing the start of a row's text moves to it, as in a list that holds its rows.
    const auto& find = reinterpret_cast<const NMLVFINDITEMA&>(header);
    result = -1;
    if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.lvfi.psz == nullptr) return true;
    const std::string wanted =
        header.code == LVN_ODFINDITEMW
            ? platform::win32::Utf8Name(reinterpret_cast<const wchar_t*>(find.lvfi.psz))
            : platform::win32::Utf8Name(platform::win32::WideText(find.lvfi.psz).c_str());
    const bool partial = (find.lvfi.flags & LVFI_PARTIAL) != 0;
    const int count = shown_count_;  // only a row the list holds can be moved to
    if (count == 0) return true;
    const int start = std::clamp(find.iStart, 0, count);
    const int steps = (find.lvfi.flags & LVFI_WRAP) != 0 ? count : count - start;
    for (int step = 0; step < steps; ++step) {
      const int row = (start + step) % count;
      const std::string_view path = rows_.Path(row);
      if ((partial || path.size() == wanted.size()) && StartsWithIgnoringAsciiCase(path, wanted)) {
        result = row;
        break;
      }
    }
    return true;
  }
  return false;
}

// A press on a row's box toggles that row alone; the selection stays as it is.
bool Win32ListView::ToggleBoxAt(LPARAM point) {
  LVHITTESTINFO hit{};
  hit.pt.x = static_cast<short>(LOWORD(point));
  hit.pt.y = static_cast<short>(HIWORD(point));
  // The box is always in the first column: the row's own hit test places it.
  SendMessageA(window_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if ((hit.flags & LVHT_ONITEMSTATEICON) == 0 || !rows_.Valid(hit.iItem)) return false;
  rows_.SetChecked(hit.iItem, !rows_.Checked(hit.iItem));
  SendMessageA(window_, LVM_REDRAWITEMS, static_cast<WPARAM>(hit.iItem), static_cast<LPARAM>(hit.iItem));
  return true;
}

// Space toggles the selected rows together: they all take the opposite of the
// focused row's state (of the first selected row's when the focus is elsewhere).
void Win32ListView::ToggleSelectedRows() {
  std::vector<int> rows = SelectedRows();
  const int focused = static_cast<int>(SendMessageA(window_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  if (rows.empty() && rows_.Valid(focused)) rows.push_back(focused);
  if (rows.empty()) return;
  const bool focused_selected = std::binary_search(rows.begin(), rows.end(), focused);
  const bool checked = !rows_.Checked(focused_selected ? focused : rows.front());
  if (static_cast<int>(rows.size()) == rows_.Count()) {
    rows_.SetAllChecked(checked);
  } else {
    for (int row : rows) rows_.SetChecked(row, checked);
  }
  InvalidateRect(window_, nullptr, FALSE);
}

LRESULT Win32ListView::SetItemState(WPARAM row, const LVITEMA& item) {
  const UINT image = (item.state & item.stateMask & LVIS_STATEIMAGEMASK) >> 12;
  if ((item.stateMask & LVIS_STATEIMAGEMASK) != 0 && (image == kUncheckedImage || image == kCheckedImage)) {
    const bool checked = image == kCheckedImage;
    if (row == static_cast<WPARAM>(-1)) {
      rows_.SetAllChecked(checked);
      InvalidateRect(window_, nullptr, FALSE);
    } else if (rows_.Valid(static_cast<int>(row))) {
      rows_.SetChecked(static_cast<int>(row), checked);
      SendMessageA(window_, LVM_REDRAWITEMS, row, static_cast<LPARAM>(row));
    } else {
      return FALSE;
    }
  }
  LVITEMA rest = item;
  rest.stateMask &= ~LVIS_STATEIMAGEMASK;
  if (rest.stateMask == 0) return TRUE;
  return DefSubclassProc(window_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&rest));
}

LRESULT Win32ListView::ItemState(WPARAM row, LPARAM mask) {
  const UINT rest_mask = static_cast<UINT>(mask) & ~LVIS_STATEIMAGEMASK;
  LRESULT state = rest_mask == 0 ? 0 : DefSubclassProc(window_, LVM_GETITEMSTATE, row, static_cast<LPARAM>(rest_mask));
  if ((mask & LVIS_STATEIMAGEMASK) != 0 && rows_.Valid(static_cast<int>(row))) {
    state = (state & ~static_cast<LRESULT>(LVIS_STATEIMAGEMASK)) | CheckImage(rows_.Checked(static_cast<int>(row)));
  }
  return state;
}

LRESULT CALLBACK Win32ListView::SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                             DWORD_PTR self_pointer) {
  Win32ListView& self = *reinterpret_cast<Win32ListView*>(self_pointer);
  switch (message) {
    case WM_RBUTTONDOWN:
      // Taken whole: the press selects no row.
      if (self.callbacks_.context_menu) {
        self.callbacks_.context_menu();
        return 0;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (self.ToggleBoxAt(lparam)) {
        SetFocus(window);
        return 0;
      }
      break;
    case WM_KEYDOWN:
      if (wparam == VK_SPACE && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
        self.ToggleSelectedRows();
        self.swallow_space_char_ = true;
        return 0;
      }
      break;
    case WM_CHAR:
      if (wparam == ' ' && self.swallow_space_char_) {
        self.swallow_space_char_ = false;
        return 0;
      }
      break;
    case LVM_SETITEMSTATE:
      if (lparam == 0) return FALSE;
      return self.SetItemState(wparam, *reinterpret_cast<const LVITEMA*>(lparam));
    case LVM_GETITEMSTATE:
      return self.ItemState(wparam, lparam);
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, &Win32ListView::SubclassProc, kSubclassId);
      break;
    default:
      break;
  }
  LRESULT result = 0;
  if (AnswerWindowKeys(self.callbacks_.keys, window, message, wparam, lparam, result)) return result;
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace quellor::app
