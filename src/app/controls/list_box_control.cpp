#include "app/controls/win32_controls.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::app {

// A Unicode window: its entries are paths of any name.
int Win32ListBox::Count() const {
  const LRESULT count = SendMessageW(window_, LB_GETCOUNT, 0, 0);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::string Win32ListBox::Text(int index) const {
  const LRESULT length = SendMessageW(window_, LB_GETTEXTLEN, index, 0);  // LB_ERR for a bad index
  if (length == LB_ERR || length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT got = SendMessageW(window_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  return platform::win32::Utf8Name(text.data(), got == LB_ERR ? 0 : static_cast<std::size_t>(got));
}

int Win32ListBox::SelectedIndex() const {
  const LRESULT selected = SendMessageW(window_, LB_GETCURSEL, 0, 0);
  return selected == LB_ERR ? -1 : static_cast<int>(selected);
}

int Win32ListBox::Append(std::string_view text) {
  const std::optional<std::wstring> wide = platform::win32::WideName(text);
  if (!wide) return -1;
  // The box is not sorted, so "add" appends; LB_ERR or LB_ERRSPACE when it is full.
  const LRESULT index = SendMessageW(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide->c_str()));
  return index < 0 ? -1 : static_cast<int>(index);
}

bool Win32ListBox::Delete(int index) {
  if (index < 0) return false;
  return SendMessageW(window_, LB_DELETESTRING, index, 0) != LB_ERR;
}

void Win32ListBox::DeleteAll() { SendMessageW(window_, LB_RESETCONTENT, 0, 0); }

}  // namespace quellor::app
