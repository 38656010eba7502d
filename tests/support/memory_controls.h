// In-memory controls: every command runs against these in tests, without a window.
#pragma once

#include <string>
#include <vector>

#include "ui/controls.h"

namespace quellor::testing {

class MemoryButton : public ui::Button {
 public:
  explicit MemoryButton(std::string caption = {}, bool enabled = true)
      : caption_(std::move(caption)), enabled_(enabled) {}
  std::string Caption() const override { return caption_; }
  void SetCaption(std::string_view caption) override { caption_ = caption; }
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }

 private:
  std::string caption_;
  bool enabled_;
};

class MemoryLabel : public ui::Label {
 public:
  explicit MemoryLabel(std::string caption = {}) : shown_(caption) {}
  std::string Caption() const override { return shown_.Bytes(); }
  void SetCaption(const text::ShownText& caption) override { shown_ = caption; }
  // The caption with its words and names apart.
  const text::ShownText& Shown() const { return shown_; }

 private:
  text::ShownText shown_;
};

class MemoryHintLabel : public ui::HintLabel {
 public:
  bool Visible() const override { return visible_; }
  void SetVisible(bool visible) override { visible_ = visible; }

 private:
  bool visible_ = true;
};

class MemoryCheckBox : public ui::CheckBox {
 public:
  explicit MemoryCheckBox(bool checked = false) : checked_(checked) {}
  bool Checked() const override { return checked_; }
  void SetChecked(bool checked) override { checked_ = checked; }

 private:
  bool checked_;
};

class MemoryEditBox : public ui::EditBox {
 public:
  std::string Text() const override { return text_; }
  void SetText(std::string_view text) override {
    text_ = text;
    writes.push_back("set:" + std::string(text));
  }
  void Append(std::string_view text) override {
    text_ += text;
    writes.push_back("append:" + std::string(text));
  }
  // Every write, in order: "set:" or "append:" and the text.
  std::vector<std::string> writes;

 private:
  std::string text_;
};

class MemoryProgressBar : public ui::ProgressBar {
 public:
  int Position() const override { return position_; }
  void SetPosition(int position) override { position_ = position; }
  int Maximum() const override { return maximum_; }
  void SetMaximum(int maximum) override { maximum_ = maximum; }

 private:
  int position_ = 0;
  int maximum_ = 100;
};

class MemoryListBox : public ui::ListBox {
 public:
  int Count() const override { return static_cast<int>(entries_.size()); }
  std::string Text(int index) const override;
  int SelectedIndex() const override { return selected_; }
  int Append(std::string_view text) override;
  bool Delete(int index) override;
  void DeleteAll() override;

  void Select(int index) { selected_ = index; }
  const std::vector<std::string>& Entries() const { return entries_; }

 private:
  std::vector<std::string> entries_;
  int selected_ = -1;
};

class MemoryListView : public ui::ListView {
 public:
  search::ResultRows& Rows() override { return rows_; }
  const search::ResultRows& Rows() const override { return rows_; }
  void RowsAppended() override { selected_.resize(static_cast<std::size_t>(rows_.Count()), false); }
  bool AllRowsShown() const override { return selected_.size() == static_cast<std::size_t>(rows_.Count()); }
  void RowsChanged() override;
  void RemoveRows(const std::vector<int>& rows) override;
  // Only a shown row can be selected.
  bool RowSelected(int row) const override { return Shown(row) && selected_[static_cast<std::size_t>(row)]; }
  std::vector<int> SelectedRows() const override;
  int CurrentRow() const override;
  void SelectRows(const std::vector<int>& rows) override;
  search::RowOrder HeaderOrder() const override { return header_order_; }
  void SetHeaderOrder(search::RowOrder order) override { header_order_ = order; }

  void SetRowSelected(int row, bool selected) {
    if (Shown(row)) selected_[static_cast<std::size_t>(row)] = selected;
  }
  std::vector<std::string> Texts() const;

 private:
  bool Shown(int row) const { return row >= 0 && static_cast<std::size_t>(row) < selected_.size(); }
  search::ResultRows rows_;
  std::vector<bool> selected_;
  search::RowOrder header_order_ = search::RowOrder::Found;
};

// The start state of each kind of in-memory control, from its row in the table.
#define QUELLOR_MEMORY_START_Label(caption, start) {caption}
#define QUELLOR_MEMORY_START_Button(caption, start) {caption, start != ui::ControlStart::Disabled}
#define QUELLOR_MEMORY_START_CheckBox(caption, start) {start == ui::ControlStart::Checked}
#define QUELLOR_MEMORY_START_ListBox(caption, start)
#define QUELLOR_MEMORY_START_HintLabel(caption, start)
#define QUELLOR_MEMORY_START_EditBox(caption, start)
#define QUELLOR_MEMORY_START_ListView(caption, start)
#define QUELLOR_MEMORY_START_ProgressBar(caption, start)

// Every control in the state the window gives it when it is created.
class MemoryControls {
 public:
  MemoryControls();
  MemoryControls(const MemoryControls&) = delete;
  MemoryControls& operator=(const MemoryControls&) = delete;

  ui::Controls& controls() { return controls_; }

#define QUELLOR_MEMORY_CONTROL(kind, name, class_name, left, top, width, height, caption, style, ex_style, font, start) \
  QUELLOR_IF_COMMANDS_SEE_##kind(Memory##kind name QUELLOR_MEMORY_START_##kind(caption, ui::ControlStart::start);)
  QUELLOR_MAIN_WINDOW_CONTROLS(QUELLOR_MEMORY_CONTROL)
#undef QUELLOR_MEMORY_CONTROL

 private:
  ui::Controls controls_;
};

}  // namespace quellor::testing
