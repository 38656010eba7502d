#include "support/memory_controls.h"

namespace quellor::testing {

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

void MemoryListView::RowsChanged() {
  // Like a list view told its new count: rows past it lose their selection.
  selected_.resize(static_cast<std::size_t>(rows_.Count()), false);
}

void MemoryListView::RemoveRows(const std::vector<int>& rows) {
  std::vector<bool> kept;
  std::size_t next = 0;
  for (int row = 0; row < rows_.Count(); ++row) {
    if (next < rows.size() && rows[next] == row) {
      ++next;
      continue;
    }
    kept.push_back(RowSelected(row));
  }
  rows_.Remove(rows);
  selected_ = std::move(kept);
}

std::vector<int> MemoryListView::SelectedRows() const {
  std::vector<int> rows;
  for (int row = 0; row < rows_.Count(); ++row) {
    if (RowSelected(row)) rows.push_back(row);
  }
  return rows;
}

int MemoryListView::CurrentRow() const {
  const std::vector<int> rows = SelectedRows();
  return rows.empty() ? -1 : rows.front();
}

void MemoryListView::SelectRows(const std::vector<int>& rows) {
  selected_.assign(selected_.size(), false);
  for (const int row : rows) SetRowSelected(row, true);
}

std::vector<std::string> MemoryListView::Texts() const {
  std::vector<std::string> texts;
  for (int row = 0; row < rows_.Count(); ++row) texts.emplace_back(rows_.Path(row));
  return texts;
}

#define QUELLOR_CONTROL_REFERENCE(kind, name, ...) QUELLOR_IF_COMMANDS_SEE_##kind(name, )
MemoryControls::MemoryControls() : controls_{QUELLOR_MAIN_WINDOW_CONTROLS(QUELLOR_CONTROL_REFERENCE)} {}
#undef QUELLOR_CONTROL_REFERENCE

}  // namespace quellor::testing
