// In-memory controls: every command runs against these in tests, without a window.
#pragma once

#include <string>
#include <vector>

#include "platform/controls.h"

namespace quellor::platform {

class MemoryButton : public Button {
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

class MemoryLabel : public Label {
 public:
  explicit MemoryLabel(std::string caption = {}) : caption_(std::move(caption)) {}
  std::string Caption() const override { return caption_; }
  void SetCaption(std::string_view caption) override { caption_ = caption; }

 private:
  std::string caption_;
};

class MemoryHintLabel : public HintLabel {
 public:
  bool Visible() const override { return visible_; }
  void SetVisible(bool visible) override { visible_ = visible; }

 private:
  bool visible_ = true;
};

class MemoryCheckBox : public CheckBox {
 public:
  explicit MemoryCheckBox(bool checked = false) : checked_(checked) {}
  bool Checked() const override { return checked_; }
  void SetChecked(bool checked) override { checked_ = checked; }

 private:
  bool checked_;
};

class MemoryEditBox : public EditBox {
 public:
  std::string Text() const override { return text_; }
  void SetText(std::string_view text) override { text_ = text; }
  void Append(std::string_view text) override { text_ += text; }

 private:
  std::string text_;
};

class MemoryProgressBar : public ProgressBar {
 public:
  int Position() const override { return position_; }
  void SetPosition(int position) override { position_ = position; }
  int Maximum() const override { return maximum_; }
  void SetMaximum(int maximum) override { maximum_ = maximum; }

 private:
  int position_ = 0;
  int maximum_ = 100;
};

class MemoryListBox : public ListBox {
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

class MemoryListView : public ListView {
 public:
  ResultRows& Rows() override { return rows_; }
  const ResultRows& Rows() const override { return rows_; }
  void RowsAppended() override { selected_.resize(static_cast<std::size_t>(rows_.Count()), false); }
  void RowsChanged() override;
  void RemoveRows(const std::vector<int>& rows) override;
  bool RowSelected(int row) const override { return rows_.Valid(row) && selected_[static_cast<std::size_t>(row)]; }
  std::vector<int> SelectedRows() const override;
  int CurrentRow() const override;

  void SetRowSelected(int row, bool selected) {
    if (rows_.Valid(row)) selected_[static_cast<std::size_t>(row)] = selected;
  }
  std::vector<std::string> Texts() const;

 private:
  ResultRows rows_;
  std::vector<bool> selected_;
};

// Every control in the state the window gives it when it is created.
class MemoryControls {
 public:
  MemoryControls();
  MemoryControls(const MemoryControls&) = delete;
  MemoryControls& operator=(const MemoryControls&) = delete;

  Controls& controls() { return controls_; }

  MemoryLabel 标签2{"搜索路径"};
  MemoryButton 按钮_搜索路径{"添加搜索路径"};
  MemoryCheckBox 选择框_搜索目录{false};
  MemoryCheckBox 选择框2{true};
  MemoryListBox 列表框_路径;
  MemoryEditBox 编辑框_文件名;
  MemoryHintLabel 透明标签1;
  MemoryCheckBox 单选框_整个电脑{false};
  MemoryCheckBox 单选框_指定路径{true};
  MemoryCheckBox 选择框1{false};
  MemoryCheckBox 单选框_精确搜索{true};
  MemoryCheckBox 单选框_模糊搜索{false};
  MemoryButton 按钮_复制到剪贴板{"复制选定文件到剪贴板"};
  MemoryListView 超级列表框1;
  MemoryProgressBar 进度条1;
  MemoryButton 按钮_立即搜索{"立即搜索"};
  MemoryButton 按钮_未搜索到文件{"未搜到的文件列表", false};
  MemoryButton 按钮_停止搜索{"停止搜索"};
  MemoryButton 按钮1{"全部勾选"};
  MemoryButton 按钮2{"取消全部勾选"};
  MemoryButton 按钮3{"复制选定文件"};
  MemoryButton 按钮5{"移动选定文件"};
  MemoryButton 按钮4{"删除选定文件"};
  MemoryLabel 标签_状态;

 private:
  Controls controls_;
};

}  // namespace quellor::platform
