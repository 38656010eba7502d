#include "app/controls/win32_controls.h"

namespace quellor::app {

int Win32ListBox::Count() const {
  const LRESULT count = SendMessageA(window_, LB_GETCOUNT, 0, 0);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::string Win32ListBox::Text(int index) const {
  const LRESULT length = SendMessageA(window_, LB_GETTEXTLEN, index, 0);  // LB_ERR for a bad index
  if (length == LB_ERR || length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT got = SendMessageA(window_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == LB_ERR ? 0 : static_cast<std::size_t>(got));
  return text;
}

int Win32ListBox::SelectedIndex() const {
  const LRESULT selected = SendMessageA(window_, LB_GETCURSEL, 0, 0);
  return selected == LB_ERR ? -1 : static_cast<int>(selected);
}

int Win32ListBox::Append(std::string_view text) {
  const std::string terminated(text);
  // The box is not sorted, so "add" appends; LB_ERR or LB_ERRSPACE when it is full.
  const LRESULT index = SendMessageA(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(terminated.c_str()));
  return index < 0 ? -1 : static_cast<int>(index);
}

bool Win32ListBox::Delete(int index) {
  if (index < 0) return false;
  return SendMessageA(window_, LB_DELETESTRING, index, 0) != LB_ERR;
}

void Win32ListBox::DeleteAll() { SendMessageA(window_, LB_RESETCONTENT, 0, 0); }

}  // namespace quellor::app
