#include "platform/memory/memory_controls.h"

namespace quellor::platform {

std::string MemoryListBox::Text(int index) const {
  return (index >= 0 && index < Count()) ? entries_[index] : std::string();
}

int MemoryListBox::Append(std::string_view text) {
  entries_.emplace_back(text);
  return Count() - 1;
}

bool MemoryListBox::Delete(int index) {
  if (index < 0 || index >= Count()) return false;
  entries_.erase(entries_.begin() + index);
  if (selected_ == index) {
    selected_ = -1;
  } else if (selected_ > index) {
    --selected_;
  }
  return true;
}

void MemoryListBox::DeleteAll() {
  entries_.clear();
  selected_ = -1;
}

int MemoryListView::CurrentRow() const {
  for (int row = 0; row < RowCount(); ++row) {
    if (rows_[row].selected) return row;
  }
  return -1;
}

void MemoryListView::AppendRows(const std::vector<std::string>& texts) {
  for (const std::string& text : texts) rows_.push_back(Row{text, false, false});
}

bool MemoryListView::DeleteRow(int row) {
  if (!Valid(row)) return false;
  rows_.erase(rows_.begin() + row);
  return true;
}

std::vector<std::string> MemoryListView::Texts() const {
  std::vector<std::string> texts;
  for (const Row& row : rows_) texts.push_back(row.text);
  return texts;
}

MemoryControls::MemoryControls()
    : controls_{标签2,        按钮_搜索路径,     选择框_搜索目录, 选择框2,       列表框_路径,    编辑框_文件名,
                透明标签1,    单选框_整个电脑,   单选框_指定路径, 选择框1,       单选框_精确搜索, 单选框_模糊搜索,
                按钮_复制到剪贴板, 超级列表框1, 进度条1,         按钮_立即搜索, 按钮_未搜索到文件, 按钮_停止搜索,
                按钮1,        按钮2,             按钮3,           按钮5,         按钮4,          标签_状态} {}

}  // namespace quellor::platform
