// The window's controls as the commands see them: one small interface per kind
// of control, and one structure that names every control by its real name.
// The Win32 window implements each kind over an HWND; tests use memory_controls.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "search/result_rows.h"
#include "search/row_order.h"
#include "text/shown_text.h"
#include "ui/control_table.h"

namespace quellor::ui {

class Button {
 public:
  virtual ~Button() = default;
  virtual std::string Caption() const = 0;
  virtual void SetCaption(std::string_view caption) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
};

// A label may show names as well as words (the status line shows the keyword
// being searched).
class Label {
 public:
  virtual ~Label() = default;
  virtual std::string Caption() const = 0;
  virtual void SetCaption(const text::ShownText& caption) = 0;
};

// The hint label over the keyword box: it can only be shown or hidden.
class HintLabel {
 public:
  virtual ~HintLabel() = default;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
};

// Check boxes and radio buttons.
class CheckBox {
 public:
  virtual ~CheckBox() = default;
  virtual bool Checked() const = 0;
  virtual void SetChecked(bool checked) = 0;
};

// The keyword box: its text is names, in the name encoding.
class EditBox {
 public:
  virtual ~EditBox() = default;
  // The whole content, lines separated by CR LF.
  virtual std::string Text() const = 0;
  virtual void SetText(std::string_view text) = 0;
  // Moves the caret to the end, scrolls it into view, then inserts `text` there.
  virtual void Append(std::string_view text) = 0;
};

class ProgressBar {
 public:
  virtual ~ProgressBar() = default;
  virtual int Position() const = 0;
  virtual void SetPosition(int position) = 0;
  virtual int Maximum() const = 0;
  virtual void SetMaximum(int maximum) = 0;
};

// The search folder list: its entries are paths, in the name encoding.
class ListBox {
 public:
  virtual ~ListBox() = default;
  virtual int Count() const = 0;
  // Empty text when `index` is out of range.
  virtual std::string Text(int index) const = 0;
  // -1 when no entry is selected.
  virtual int SelectedIndex() const = 0;
  // Returns the new entry's index.
  virtual int Append(std::string_view text) = 0;
  // False (and nothing deleted) for an invalid index.
  virtual bool Delete(int index) = 0;
  virtual void DeleteAll() = 0;
};

// The result list: a view over the rows the window owns. Commands read and
// change the rows in the store, then tell the view once, so a command over a
// million rows costs one pass and one repaint. Selection belongs to the view.
class ListView {
 public:
  virtual ~ListView() = default;
  virtual search::ResultRows& Rows() = 0;
  virtual const search::ResultRows& Rows() const = 0;
  // Rows were added at the end; the rows shown before are unchanged. Rows
  // appended to the store stay unshown until this call (or any other change).
  virtual void RowsAppended() = 0;
  // False while rows appended to the store wait for RowsAppended.
  virtual bool AllRowsShown() const = 0;
  // Any other change of the rows: the view shows it at once, in one repaint.
  virtual void RowsChanged() = 0;
  // Removes the rows at `rows` (ascending); the selection stays on the rows that remain.
  virtual void RemoveRows(const std::vector<int>& rows) = 0;
  virtual bool RowSelected(int row) const = 0;
  // Every selected row, ascending.
  virtual std::vector<int> SelectedRows() const = 0;
  // The first selected row, -1 when none is selected.
  virtual int CurrentRow() const = 0;
  // Selects exactly `rows` (ascending), the first of them focused.
  virtual void SelectRows(const std::vector<int>& rows) = 0;
  // The order the column header shows (its sort arrow): the rows' order is
  // what the header says.
  virtual search::RowOrder HeaderOrder() const = 0;
  virtual void SetHeaderOrder(search::RowOrder order) = 0;

  // A few rows at a time, over the store.
  int RowCount() const { return Rows().Count(); }
  std::string RowText(int row) const { return std::string(Rows().Path(row)); }
  bool RowChecked(int row) const { return Rows().Checked(row); }
  platform::PathKind RowKind(int row) const { return Rows().Kind(row); }
  void DeleteAllRows() {
    Rows().Clear();
    RowsChanged();
  }
};

// Every control that a command reads or writes, by its name in the window.
struct Controls {
#define QUELLOR_CONTROL_FIELD(kind, name, ...) QUELLOR_IF_COMMANDS_SEE_##kind(kind& name;)
  QUELLOR_MAIN_WINDOW_CONTROLS(QUELLOR_CONTROL_FIELD)
#undef QUELLOR_CONTROL_FIELD
};

}  // namespace quellor::ui
