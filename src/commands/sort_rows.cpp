// A click on the result list's column header: the rows by path, then the
// other way, then back in the order found. A million rows take a good part
// of a second to sort, so the order is worked out beside the window's thread
// while the window goes on answering; the rows move at the end, in one go.
#include <algorithm>
#include <new>
#include <vector>

#include "commands/beside_the_window.h"
#include "commands/result_actions.h"
#include "search/row_order.h"

namespace quellor::commands {

namespace {

search::RowOrder NextOrder(search::RowOrder shown) {
  switch (shown) {
    case search::RowOrder::Found:
      return search::RowOrder::PathAscending;
    case search::RowOrder::PathAscending:
      return search::RowOrder::PathDescending;
    case search::RowOrder::PathDescending:
      break;
  }
  return search::RowOrder::Found;
}

// The rows in their new order and where each old row went, made from what
// a tick does not change; on another thread, beside the window.
struct NewOrder {
  search::ResultRows::Reordering rows;
  std::vector<int> place;  // old row -> new row
};

NewOrder WorkOutOrder(const search::ResultRows& rows, search::RowOrder order) {
  std::vector<search::RowKey> keys;
  keys.reserve(static_cast<std::size_t>(rows.Count()));
  for (int row = 0; row < rows.Count(); ++row) keys.push_back(search::RowKey{rows.Path(row), rows.FoundOrder(row)});
  const std::vector<int> sorted = search::OrderRows(keys, order);
  keys = {};
  NewOrder result{rows.PrepareReorder(sorted), std::vector<int>(sorted.size())};
  for (std::size_t i = 0; i < sorted.size(); ++i) result.place[static_cast<std::size_t>(sorted[i])] = static_cast<int>(i);
  return result;
}

}  // namespace

void SortRowsByHeader(ui::Controls& controls, ActionServices& services, bool search_running) {
  ui::ListView& list = controls.超级列表框_结果;
  // Rows arrive at the end while a search runs: the header waits for its end.
  if (search_running || !list.AllRowsShown()) {
    controls.标签_状态.SetCaption(text::ShownText("正在搜索，搜索结束后才能排序。"));
    return;
  }
  const search::RowOrder order = NextOrder(list.HeaderOrder());
  search::ResultRows& rows = list.Rows();
  try {
    // While the order is worked out the window's events are handled: a tick
    // may change, no row comes or goes (the header waits for a search's end,
    // and the other result actions for this one). Even a close asked for
    // meanwhile waits for the order: `rows` is read until then.
    NewOrder sorted = RunBesideTheWindow([&rows, order] { return WorkOutOrder(rows, order); }, services.events);
    // The selection goes with its rows, as it stands once the order is known.
    std::vector<int> selected = list.SelectedRows();
    for (int& row : selected) row = sorted.place[static_cast<std::size_t>(row)];
    std::sort(selected.begin(), selected.end());
    rows.ApplyReorder(std::move(sorted.rows));
    list.SelectRows(selected);
  } catch (const std::bad_alloc&) {
    controls.标签_状态.SetCaption(text::ShownText("内存不足，无法排序。"));
    return;
  }
  list.SetHeaderOrder(order);
  list.RowsChanged();
}

}  // namespace quellor::commands
