// The control interfaces of ui/controls.h over Win32 controls: thin
// SendMessage wrappers, one source file per kind of control. Every call runs
// on the window's thread.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/controls.h"

namespace quellor::app {

// The whole caption of any window, in the program's own code page; empty
// when it cannot be read.
std::string WindowText(HWND window);
void SetWindowTextBytes(HWND window, std::string_view text);

// The caption of a control that shows names (created as a Unicode window), in
// the name encoding (UTF-8).
std::string WindowName(HWND window);
// Words and names, each converted on its own: the words with the code page,
// the names from UTF-8.
std::wstring WideShownText(const text::ShownText& text);

// The window's keys on one control (app/window_keys.h), wired by the window:
// its answer to WM_GETDLGCODE, made from the control's own `code`, and a key
// message (down or up, system or not) that the window answers in place of the
// control, true when it did.
struct WindowKeyCallbacks {
  std::function<LRESULT(LRESULT code, const MSG* key)> dialog_code;
  std::function<bool(const MSG& key)> answer;
};

// For a control's subclass procedure: WM_GETDLGCODE and the key messages,
// answered through `keys` into `result`; false for any other message and for a
// key the window leaves to the control.
bool AnswerWindowKeys(const WindowKeyCallbacks& keys, HWND control, UINT message, WPARAM wparam, LPARAM lparam,
                      LRESULT& result);

// What either list asks of the window.
struct ListCallbacks {
  WindowKeyCallbacks keys;
  // A right press: the list's menu, at the cursor.
  std::function<void()> context_menu;
};

class Win32Button : public ui::Button {
 public:
  explicit Win32Button(HWND window) : window_(window) {}
  std::string Caption() const override;
  void SetCaption(std::string_view caption) override;
  bool Enabled() const override;
  void SetEnabled(bool enabled) override;

 private:
  HWND window_;
};

class Win32Label : public ui::Label {
 public:
  explicit Win32Label(HWND window) : window_(window) {}
  std::string Caption() const override;
  void SetCaption(const text::ShownText& caption) override;

 private:
  HWND window_;
};

// The grey example names over the names box. A left press on it hides it,
// so the press goes on to the box.
class Win32HintLabel : public ui::HintLabel {
 public:
  // Subclasses `window`, a static control that takes the mouse (SS_NOTIFY).
  explicit Win32HintLabel(HWND window);
  ~Win32HintLabel() override;
  Win32HintLabel(const Win32HintLabel&) = delete;
  Win32HintLabel& operator=(const Win32HintLabel&) = delete;

  bool Visible() const override;
  void SetVisible(bool visible) override;
  bool subclassed() const { return subclassed_; }

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                       DWORD_PTR self);

  HWND window_;
  bool subclassed_;
};

// Check boxes and radio buttons.
class Win32CheckBox : public ui::CheckBox {
 public:
  explicit Win32CheckBox(HWND window) : window_(window) {}
  bool Checked() const override;
  void SetChecked(bool checked) override;

 private:
  HWND window_;
};

// The keyword box, a Unicode window: its text is names (UTF-8 here, UTF-16 in
// the control). A long text goes into the control in slices, one at each
// turn of a timer of the box's own: Wine's edit control lays out every line
// it takes (tens of microseconds each), so a hundred thousand lines at once
// would freeze the window for seconds. Until the last slice is in, Text() is
// the control's text followed by the part still waiting, so every reader gets
// the whole text; the first key, paste or menu that could change the text
// puts the rest in at once, so an edit lands where the user sees it land.
class Win32EditBox : public ui::EditBox {
 public:
  // Subclasses `window`, a multi-line edit control.
  explicit Win32EditBox(HWND window);
  ~Win32EditBox() override;
  Win32EditBox(const Win32EditBox&) = delete;
  Win32EditBox& operator=(const Win32EditBox&) = delete;

  std::string Text() const override;
  void SetText(std::string_view text) override;
  void Append(std::string_view text) override;
  // True while part of the text waits to go into the control.
  bool Filling() const { return next_ < waiting_.size(); }
  bool subclassed() const { return subclassed_; }

  struct Callbacks {
    WindowKeyCallbacks keys;
    // Typed, pasted or set: the text may have changed.
    std::function<void()> text_changed;
    // The control has painted itself.
    std::function<void()> painted;
    // It drew a change of its text or a scroll at once, outside its paint.
    std::function<void()> drew_at_once;
    // False while the rest of a long text should wait (a search runs: it has
    // the whole text already, and the slices would take from its processors
    // and from the window's answers); the next turn of the timer asks again.
    std::function<bool()> may_fill;
  };
  void SetCallbacks(Callbacks callbacks) { callbacks_ = std::move(callbacks); }
  // The control's notification `code` (EN_...), which its parent hands on.
  void AnswerCommand(int code);

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                       DWORD_PTR self);
  // Keeps `rest` for the timer, which puts it in slice by slice.
  void Wait(std::wstring_view rest);
  // The next slice, timed to keep every slice about as long as the budget.
  void PutSlice();
  // Everything that waits, now.
  void PutRest();
  // Inserts `part` at the end, the user's view kept, and the selection too
  // while the user can see it (else it waits at the end: see Unpark).
  void InsertAtEnd(std::wstring_view part);
  // Puts back a selection that waited at the end of the text.
  void Unpark();
  // All is in: the caret goes to the end if an Append asked for it.
  void Finish();
  // Forgets what waits: a new text replaces it.
  void Drop();

  HWND window_;
  Callbacks callbacks_;
  std::wstring waiting_;
  std::size_t next_ = 0;       // waiting_ from here on is not in the control yet
  bool caret_to_end_ = false;  // an Append waits: the caret goes to the end after the last slice
  bool inserting_ = false;     // the box's own messages to the control, never taken for the user's
  std::size_t slice_lines_;
  struct Selection {
    DWORD start = 0;
    DWORD end = 0;
  };
  std::optional<Selection> parked_;  // the user's selection, while the control's waits at the end
  bool subclassed_;
};

class Win32ProgressBar : public ui::ProgressBar {
 public:
  explicit Win32ProgressBar(HWND window) : window_(window) {}
  int Position() const override;
  void SetPosition(int position) override;
  int Maximum() const override;
  void SetMaximum(int maximum) override;

 private:
  HWND window_;
};

class Win32ListBox : public ui::ListBox {
 public:
  // Subclasses `window`, a list box.
  explicit Win32ListBox(HWND window);
  ~Win32ListBox() override;
  Win32ListBox(const Win32ListBox&) = delete;
  Win32ListBox& operator=(const Win32ListBox&) = delete;

  int Count() const override;
  std::string Text(int index) const override;
  int SelectedIndex() const override;
  int Append(std::string_view text) override;
  bool Delete(int index) override;
  void DeleteAll() override;

  void SetCallbacks(ListCallbacks callbacks) { callbacks_ = std::move(callbacks); }
  bool subclassed() const { return subclassed_; }

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                       DWORD_PTR self);

  HWND window_;
  ListCallbacks callbacks_;
  bool subclassed_;
};

// The result list: an owner-data list view that draws the rows of the store
// it holds and keeps only the selection itself. Check boxes are drawn from the
// store (state images through the callback mask); a click on a box, the space
// bar and LVM_SETITEMSTATE / LVM_GETITEMSTATE for the check bits (from this
// program or another) are answered from the store, since an owner-data list
// view neither keeps check states nor reliably reports their changes.
class Win32ListView : public ui::ListView {
 public:
  // Subclasses `window`, which must be an LVS_OWNERDATA list view with check boxes.
  explicit Win32ListView(HWND window);
  ~Win32ListView() override;
  Win32ListView(const Win32ListView&) = delete;
  Win32ListView& operator=(const Win32ListView&) = delete;

  search::ResultRows& Rows() override { return rows_; }
  const search::ResultRows& Rows() const override { return rows_; }
  void RowsAppended() override;
  bool AllRowsShown() const override { return shown_count_ == rows_.Count(); }
  void RowsChanged() override;
  void RemoveRows(const std::vector<int>& rows) override;
  bool RowSelected(int row) const override;
  std::vector<int> SelectedRows() const override;
  int CurrentRow() const override;
  void SelectRows(const std::vector<int>& rows) override;
  // The header's sort arrow.
  search::RowOrder HeaderOrder() const override;
  void SetHeaderOrder(search::RowOrder order) override;
  void SelectAllRows();

  void SetCallbacks(ListCallbacks callbacks) { callbacks_ = std::move(callbacks); }
  bool subclassed() const { return subclassed_; }
  // The list's notifications to its parent that ask for row data
  // (LVN_GETDISPINFO, LVN_ODFINDITEM); false for any other.
  bool AnswerNotify(const NMHDR& header, LRESULT& result) const;

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                       DWORD_PTR self);
  bool ToggleBoxAt(LPARAM point);
  void ToggleSelectedRows();
  LRESULT SetItemState(WPARAM row, const LVITEMA& item);
  LRESULT ItemState(WPARAM row, LPARAM mask);
  void SetCount(int count, DWORD flags);
  // Takes the selection off `selected` and the focus off `focused` (-1: none).
  void Deselect(const std::vector<int>& selected, int focused);

  HWND window_;
  ListCallbacks callbacks_;
  search::ResultRows rows_;
  int shown_count_ = 0;
  bool swallow_space_char_ = false;
  bool subclassed_;
};

}  // namespace quellor::app
