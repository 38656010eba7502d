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

#define QUELLOR_CONTROL_REFERENCE(kind, name, ...) QUELLOR_IF_COMMANDS_SEE_##kind(name, )
MemoryControls::MemoryControls() : controls_{QUELLOR_MAIN_WINDOW_CONTROLS(QUELLOR_CONTROL_REFERENCE)} {}
#undef QUELLOR_CONTROL_REFERENCE

}  // namespace quellor::platform
