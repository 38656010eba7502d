#include <algorithm>
#include <chrono>
#include <climits>
#include <functional>

#include "app/controls/win32_controls.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::app {

namespace {

constexpr UINT_PTR kSubclassId = 0x5156;  // any value: the procedure tells our subclass apart
// Any id but 0, which the edit control's own timer (scrolling while the mouse selects) uses.
constexpr UINT_PTR kFillTimer = 0x5156;
// The longest a slice should keep the window from its input: a click that
// comes during a slice waits for its end. Wine's control lays out each line
// it takes (about 30 µs of processor time), and every insertion walks its
// list of lines several times (at 100,000 lines about 11 ms); at 25 ms the
// whole fill takes no longer than at 50 (measured: 13.2-15.4 s against
// 13.8-15.5 s for 100,000 names). A slice takes at least 512 lines: where
// the machine is so busy that every slice overruns its budget, fewer would
// only make the walks outweigh the lines and the whole fill slower.
constexpr auto kSliceBudget = std::chrono::milliseconds(25);
constexpr std::size_t kFirstSliceLines = 1024;
constexpr std::size_t kFewestSliceLines = 512;
constexpr std::size_t kMostSliceLines = 16384;
// How often a fill that waits asks whether it may go on.
constexpr UINT kHeldFillPeriodMs = 100;
// A position past the end of the text means its end.
constexpr WPARAM kEnd = INT_MAX;

// A Unicode window: its text is names, any character that can be typed or
// pasted. Text that is not UTF-8 gives no text; the window takes it up to a NUL.
std::wstring WideNames(std::string_view text) {
  std::wstring wide = platform::win32::WideName(text).value_or(std::wstring());
  wide.resize(std::min(wide.size(), wide.find(L'\0')));
  return wide;
}

// Where the text from `from` is cut after `lines` line breaks; the end of the
// text when it has no more.
std::size_t CutAfterLines(std::wstring_view text, std::size_t from, std::size_t lines) {
  std::size_t at = from;
  for (; lines > 0; --lines) {
    const std::size_t line_break = text.find(L"\r\n", at);
    if (line_break == std::wstring_view::npos) return text.size();
    at = line_break + 2;
  }
  return at;
}

// How many lines the control shows at once, a part of a line counted whole.
LRESULT ShownLines(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  TEXTMETRICW metrics{};
  HDC dc = GetDC(window);
  if (dc == nullptr) return LONG_MAX;
  HGDIOBJ old_font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
  const bool measured = GetTextMetricsW(dc, &metrics) != 0 && metrics.tmHeight > 0;
  SelectObject(dc, old_font);
  ReleaseDC(window, dc);
  return measured ? client.bottom / metrics.tmHeight + 1 : LONG_MAX;
}

void Call(const std::function<void()>& callback) {
  if (callback) callback();
}

}  // namespace

Win32EditBox::Win32EditBox(HWND window)
    : window_(window),
      slice_lines_(kFirstSliceLines),
      subclassed_(SetWindowSubclass(window_, &Win32EditBox::SubclassProc, kSubclassId,
                                    reinterpret_cast<DWORD_PTR>(this)) != FALSE) {}

Win32EditBox::~Win32EditBox() {
  if (IsWindow(window_)) {
    KillTimer(window_, kFillTimer);
    RemoveWindowSubclass(window_, &Win32EditBox::SubclassProc, kSubclassId);
  }
}

std::string Win32EditBox::Text() const {
  std::string text = WindowName(window_);
  if (Filling()) text += platform::win32::Utf8Name(waiting_.data() + next_, waiting_.size() - next_);
  return text;
}

void Win32EditBox::SetText(std::string_view text) {
  Drop();
  const std::wstring wide = WideNames(text);
  const std::size_t cut = CutAfterLines(wide, 0, slice_lines_);
  inserting_ = true;
  SetWindowTextW(window_, wide.substr(0, cut).c_str());
  inserting_ = false;
  Wait(std::wstring_view(wide).substr(cut));
}

void Win32EditBox::Append(std::string_view text) {
  const std::wstring wide = WideNames(text);
  if (wide.empty()) return;
  if (Filling()) {
    waiting_.append(wide);
    caret_to_end_ = true;
    return;
  }
  const std::size_t cut = CutAfterLines(wide, 0, slice_lines_);
  const std::wstring first = wide.substr(0, cut);
  inserting_ = true;
  SendMessageW(window_, EM_SETSEL, kEnd, kEnd);
  SendMessageW(window_, EM_SCROLLCARET, 0, 0);
  SendMessageW(window_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(first.c_str()));
  inserting_ = false;
  if (cut < wide.size()) {
    caret_to_end_ = true;
    Wait(std::wstring_view(wide).substr(cut));
  }
}

void Win32EditBox::Wait(std::wstring_view rest) {
  if (rest.empty()) return;
  waiting_.assign(rest);
  next_ = 0;
  SetTimer(window_, kFillTimer, USER_TIMER_MINIMUM, nullptr);
}

void Win32EditBox::PutSlice() {
  const std::size_t cut = CutAfterLines(waiting_, next_, slice_lines_);
  const auto start = std::chrono::steady_clock::now();
  InsertAtEnd(std::wstring_view(waiting_).substr(next_, cut - next_));
  next_ = cut;
  // As many lines next time as fit the budget at this slice's cost: at most
  // twice or half as many, so that one slow turn does not throw the count off.
  const auto took = std::max<std::chrono::steady_clock::duration>(std::chrono::steady_clock::now() - start,
                                                                 std::chrono::milliseconds(1));
  const auto fitting = static_cast<std::size_t>(static_cast<double>(slice_lines_) * kSliceBudget / took);
  slice_lines_ = std::clamp(fitting, std::max(slice_lines_ / 2, kFewestSliceLines),
                            std::min(slice_lines_ * 2, kMostSliceLines));
  if (!Filling()) {
    Finish();
    return;
  }
  // The timer starts over: the next slice comes a full period after this one
  // ended, so a loop that handles every pending message (as long commands
  // and the close do) comes to an end.
  SetTimer(window_, kFillTimer, USER_TIMER_MINIMUM, nullptr);
}

void Win32EditBox::PutRest() {
  InsertAtEnd(std::wstring_view(waiting_).substr(next_));
  Finish();
}

void Win32EditBox::InsertAtEnd(std::wstring_view part) {
  if (part.empty()) return;
  const std::wstring terminated(part);
  inserting_ = true;
  // A selection the user cannot see (the box has neither the focus nor the
  // mouse) waits at the end of the text from slice to slice: moving it costs
  // the control two walks over its lines, nearly half of what a slice costs
  // beside its new lines. It comes back with the focus or the last slice.
  const bool in_use = GetFocus() == window_ || GetCapture() == window_;
  Selection selection;
  if (!parked_) {
    SendMessageW(window_, EM_GETSEL, reinterpret_cast<WPARAM>(&selection.start),
                 reinterpret_cast<LPARAM>(&selection.end));
    if (!in_use) parked_ = selection;
  }
  const LRESULT first_line = SendMessageW(window_, EM_GETFIRSTVISIBLELINE, 0, 0);
  const bool end_shown = SendMessageW(window_, EM_GETLINECOUNT, 0, 0) - first_line <= ShownLines(window_);
  // Turning the drawing off drops what waited to be painted.
  const bool paint_waiting = GetUpdateRect(window_, nullptr, FALSE) != 0;
  // Inserting scrolls the control to its end; none of that reaches the screen.
  SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(window_, EM_SETSEL, kEnd, kEnd);
  SendMessageW(window_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(terminated.c_str()));
  if (!parked_) SendMessageW(window_, EM_SETSEL, selection.start, static_cast<LPARAM>(selection.end));
  const LRESULT scrolled = SendMessageW(window_, EM_GETFIRSTVISIBLELINE, 0, 0) - first_line;
  if (scrolled != 0) SendMessageW(window_, EM_LINESCROLL, 0, -scrolled);
  SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
  // The lines shown are painted again only when they have changed; the
  // scroll bars once the last slice is in (or as the user scrolls).
  if (end_shown || paint_waiting) RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  inserting_ = false;
}

void Win32EditBox::Unpark() {
  if (!parked_) return;
  inserting_ = true;
  SendMessageW(window_, EM_SETSEL, parked_->start, static_cast<LPARAM>(parked_->end));
  inserting_ = false;
  parked_.reset();
}

void Win32EditBox::Finish() {
  const bool caret_to_end = caret_to_end_;
  if (!caret_to_end) Unpark();
  Drop();
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  if (!caret_to_end) return;
  inserting_ = true;
  SendMessageW(window_, EM_SETSEL, kEnd, kEnd);
  SendMessageW(window_, EM_SCROLLCARET, 0, 0);
  inserting_ = false;
}

void Win32EditBox::Drop() {
  KillTimer(window_, kFillTimer);
  waiting_ = {};
  next_ = 0;
  caret_to_end_ = false;
  parked_.reset();
}

void Win32EditBox::AnswerCommand(int code) {
  if (code == EN_CHANGE) Call(callbacks_.text_changed);
  if (code == EN_CHANGE || code == EN_HSCROLL || code == EN_VSCROLL) Call(callbacks_.drew_at_once);
}

LRESULT CALLBACK Win32EditBox::SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                            DWORD_PTR self_pointer) {
  Win32EditBox& self = *reinterpret_cast<Win32EditBox*>(self_pointer);
  if (message == WM_TIMER && wparam == kFillTimer) {
    if (self.Filling() && self.callbacks_.may_fill && !self.callbacks_.may_fill()) {
      SetTimer(window, kFillTimer, kHeldFillPeriodMs, nullptr);
    } else if (self.Filling()) {
      self.PutSlice();
    } else {
      KillTimer(window, kFillTimer);
    }
    return 0;
  }
  if (self.Filling() && !self.inserting_) {
    switch (message) {
      // A whole new text: what waited belonged to the old one.
      case WM_SETTEXT:
      case EM_SETHANDLE:
        self.Drop();
        break;
      case WM_SETFOCUS:
        self.Unpark();
        break;
      // What could change the text: the rest goes in first.
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:  // Alt+Backspace undoes
        if (wparam == VK_DELETE || wparam == VK_INSERT || wparam == VK_BACK) self.PutRest();
        break;
      case WM_CHAR:
      case WM_IME_CHAR:
      case WM_IME_COMPOSITION:
      case WM_PASTE:
      case WM_CUT:
      case WM_CLEAR:
      case WM_UNDO:
      case EM_UNDO:
      case EM_REPLACESEL:
      case WM_CONTEXTMENU:
        self.PutRest();
        break;
      default:
        break;
    }
  }
  LRESULT result = 0;
  if (AnswerWindowKeys(self.callbacks_.keys, window, message, wparam, lparam, result)) return result;
  switch (message) {
    // A multi-line box tells its parent nothing of a text set whole.
    case WM_SETTEXT:
      result = DefSubclassProc(window, message, wparam, lparam);
      Call(self.callbacks_.text_changed);
      return result;
    case WM_PAINT:
      result = DefSubclassProc(window, message, wparam, lparam);
      Call(self.callbacks_.painted);
      return result;
    case WM_NCDESTROY:
      KillTimer(window, kFillTimer);
      RemoveWindowSubclass(window, &Win32EditBox::SubclassProc, kSubclassId);
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace quellor::app
