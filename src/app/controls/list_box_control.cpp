#include "app/controls/win32_controls.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::app {

namespace {

constexpr UINT_PTR kSubclassId = 0x5157;  // any value: the procedure tells our subclass apart

}  // namespace

Win32ListBox::Win32ListBox(HWND window)
    : window_(window),
      subclassed_(SetWindowSubclass(window_, &Win32ListBox::SubclassProc, kSubclassId,
                                    reinterpret_cast<DWORD_PTR>(this)) != FALSE) {}

Win32ListBox::~Win32ListBox() {
  if (IsWindow(window_)) RemoveWindowSubclass(window_, &Win32ListBox::SubclassProc, kSubclassId);
}

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

LRESULT CALLBACK Win32ListBox::SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                            DWORD_PTR self_pointer) {
  Win32ListBox& self = *reinterpret_cast<Win32ListBox*>(self_pointer);
  LRESULT result = 0;
  if (AnswerWindowKeys(self.callbacks_.keys, window, message, wparam, lparam, result)) return result;
  switch (message) {
    case WM_RBUTTONDOWN:
      // Taken whole: the press selects no entry.
      if (self.callbacks_.context_menu) {
        self.callbacks_.context_menu();
        return 0;
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, &Win32ListBox::SubclassProc, kSubclassId);
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace quellor::app
