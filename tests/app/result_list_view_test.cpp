// The result list in the real window: an owner-data list view over the row
// store, worked by mouse, keyboard and other programs' list-view messages.
#include "app/main_window_fixture.h"
#include "support/row_setup.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace quellor::app {
namespace {

class ResultListViewTest : public MainWindowTest {
 protected:
  HWND List() const { return Item(ids::超级列表框_结果); }
  ui::ListView& Rows() { return window->controls()->超级列表框_结果; }
  void ListRows(int count) {
    std::vector<std::string> rows;
    for (int i = 0; i < count; ++i) rows.push_back("C:\\photos\\2023\\IMG_" + std::to_string(100000 + i) + ".jpg");
    testing::AppendRows(Rows(), rows);
    Pump(20ms);
  }
  std::vector<bool> Ticks() {
    std::vector<bool> ticks;
    for (int row = 0; row < Rows().RowCount(); ++row) ticks.push_back(Rows().RowChecked(row));
    return ticks;
  }
  // A point on `row`'s check box, found by the list's own hit test.
  POINT BoxOf(int row) const {
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    SendMessageA(List(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds));
    for (int x = bounds.left; x < bounds.left + 40; ++x) {
      LVHITTESTINFO hit{};
      hit.pt = {x, (bounds.top + bounds.bottom) / 2};
      SendMessageA(List(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
      if ((hit.flags & LVHT_ONITEMSTATEICON) != 0 && hit.iItem == row) return hit.pt;
    }
    ADD_FAILURE() << "no check box found on row " << row;
    return {};
  }
  void ClickAt(POINT point) {
    SendMessageA(List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    SendMessageA(List(), WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    Pump(10ms);
  }
  void Select(int row) { ListView_SetItemState(List(), row, LVIS_SELECTED, LVIS_SELECTED); }
};

TEST_F(ResultListViewTest, IsAnOwnerDataListThatDrawsTicksFromTheStore) {
  Open();
  EXPECT_NE(GetWindowLongA(List(), GWL_STYLE) & LVS_OWNERDATA, 0);
  EXPECT_EQ(SendMessageA(List(), LVM_GETCALLBACKMASK, 0, 0) & LVIS_STATEIMAGEMASK, LVIS_STATEIMAGEMASK);
  ListRows(3);
  EXPECT_EQ(ListView_GetItemCount(List()), 3);
  char text[MAX_PATH] = {};
  ListView_GetItemText(List(), 2, 0, text, sizeof text);
  EXPECT_STREQ(text, "C:\\photos\\2023\\IMG_100002.jpg");
  // A buffer too short for the row gets as much as fits, never more.
  char short_text[8] = {};
  ListView_GetItemText(List(), 2, 0, short_text, sizeof short_text);
  EXPECT_STREQ(short_text, "C:\\phot");
  testing::SetRowChecked(Rows(), 1, true);
  EXPECT_FALSE(ListView_GetCheckState(List(), 0));
  EXPECT_TRUE(ListView_GetCheckState(List(), 1));
}

TEST_F(ResultListViewTest, AClickOnARowsBoxTicksThatRowAndLeavesTheSelection) {
  Open();
  ListRows(5);
  Select(0);
  ClickAt(BoxOf(2));
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, false, true, false, false}));
  EXPECT_EQ(Rows().CurrentRow(), 0) << "the selection stays where it was";
  ClickAt(BoxOf(2));
  EXPECT_EQ(Ticks(), std::vector<bool>(5, false));
}

TEST_F(ResultListViewTest, SpaceTogglesTheSelectedRowsTogether) {
  Open();
  ListRows(5);
  testing::SetRowChecked(Rows(), 3, true);
  Select(1);
  Select(3);
  ListView_SetItemState(List(), 1, LVIS_FOCUSED, LVIS_FOCUSED);
  SetFocus(List());
  SendMessageA(List(), WM_KEYDOWN, VK_SPACE, 0);
  SendMessageA(List(), WM_CHAR, ' ', 0);
  SendMessageA(List(), WM_KEYUP, VK_SPACE, 0);
  Pump(10ms);
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, true, false, true, false})) << "both take the opposite of the focused row";
  SendMessageA(List(), WM_KEYDOWN, VK_SPACE, 0);
  Pump(10ms);
  EXPECT_EQ(Ticks(), std::vector<bool>(5, false));
}

TEST_F(ResultListViewTest, ListViewMessagesSetTicksInTheStore) {
  Open();
  ListRows(4);
  ListView_SetCheckState(List(), 2, TRUE);
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, false, true, false}));
  ListView_SetItemState(List(), -1, INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK);
  EXPECT_EQ(Ticks(), std::vector<bool>(4, true)) << "-1 means every row";
  // Selection and ticks in one request: each goes where it belongs.
  ListView_SetItemState(List(), 0, LVIS_SELECTED | INDEXTOSTATEIMAGEMASK(1), LVIS_SELECTED | LVIS_STATEIMAGEMASK);
  EXPECT_FALSE(Rows().RowChecked(0));
  EXPECT_TRUE(Rows().RowSelected(0));
}

TEST_F(ResultListViewTest, AnotherProgramReadsAndSetsRowsThroughTheListsMessages) {
  Open();
  ListRows(3);
  testing::SetRowChecked(Rows(), 1, true);
  EXPECT_EQ(RunDriver("read-row 1"), "C:\\photos\\2023\\IMG_100001.jpg\t1\n");
  EXPECT_EQ(RunDriver("read-row 2"), "C:\\photos\\2023\\IMG_100002.jpg\t0\n");
  RunDriver("set-check 2 1");
  EXPECT_EQ(Ticks(), (std::vector<bool>{false, true, true}));
  RunDriver("set-check -1 0");
  EXPECT_EQ(Ticks(), std::vector<bool>(3, false));
}

TEST_F(ResultListViewTest, RemovedRowsLeaveTheSelectionOnTheRowsThatStay) {
  Open();
  ListRows(6);
  Select(1);
  Select(4);
  Rows().RemoveRows({0, 2});
  Pump(10ms);
  EXPECT_EQ(ListView_GetItemCount(List()), 4);
  EXPECT_EQ(Rows().SelectedRows(), (std::vector<int>{0, 2})) << "rows 1 and 4 moved up to 0 and 2";
  char text[MAX_PATH] = {};
  ListView_GetItemText(List(), 2, 0, text, sizeof text);
  EXPECT_STREQ(text, "C:\\photos\\2023\\IMG_100004.jpg");
}

// For a person to look at: 66,000 rows, before and after tick all.
TEST_F(ResultListViewTest, SixtySixThousandRowsBeforeAndAfterTickAll) {
  Open();
  ListRows(66000);
  EXPECT_EQ(ListView_GetItemCount(List()), 66000);
  SaveScreenshot("results_66000_rows");
  Click(ids::按钮_全部勾选);
  EXPECT_EQ(Rows().Rows().CheckedCount(), 66000);
  EXPECT_TRUE(ListView_GetCheckState(List(), 65999));
  SaveScreenshot("results_66000_ticked");
}

// The header's click on 66,000 rows: by path, the other way, the order
// found, with the header's arrow; each row keeps its tick.
TEST_F(ResultListViewTest, AHeaderClickSortsReversesAndPutsTheOrderFoundBack) {
  Open();
  std::vector<std::string> found;
  for (int i = 0; i < 66000; ++i) found.push_back("C:\\photos\\IMG_" + std::to_string((i * 7919) % 66000) + ".jpg");
  testing::AppendRows(Rows(), found);
  for (int row = 0; row < 66000; row += 3) testing::SetRowChecked(Rows(), row, true);
  Pump(20ms);
  const HWND header = ListView_GetHeader(List());
  RECT column{};
  ASSERT_TRUE(Header_GetItemRect(header, 0, &column));
  const auto click_header = [&] {
    const LPARAM at = MAKELPARAM((column.left + column.right) / 2, (column.top + column.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
    Pump(20ms);
  };
  const auto arrow = [&] {
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    Header_GetItem(header, 0, &item);
    return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
  };
  // Each path with its tick, from the rows the list draws; the first row as
  // the list itself shows it.
  const auto shown = [&] {
    std::vector<std::pair<std::string, bool>> rows;
    const search::ResultRows& store = Rows().Rows();
    for (int row = 0; row < store.Count(); ++row) rows.emplace_back(store.Path(row), store.Checked(row));
    char text[MAX_PATH] = {};
    ListView_GetItemText(List(), 0, 0, text, sizeof text);
    EXPECT_EQ(text, rows.front().first);
    EXPECT_EQ(ListView_GetCheckState(List(), 0) != 0, rows.front().second);
    return rows;
  };
  const auto as_found = shown();
  auto ascending = as_found;
  std::sort(ascending.begin(), ascending.end(), [](const auto& a, const auto& b) {
    return std::stoi(a.first.substr(14)) < std::stoi(b.first.substr(14));
  });

  click_header();
  EXPECT_EQ(arrow(), HDF_SORTUP);
  EXPECT_TRUE(shown() == ascending) << "IMG_2 before IMG_10, each row with its tick";
  SaveScreenshot("results_sorted_by_path");
  click_header();
  EXPECT_EQ(arrow(), HDF_SORTDOWN);
  EXPECT_TRUE(shown() == decltype(ascending)(ascending.rbegin(), ascending.rend()));
  click_header();
  EXPECT_EQ(arrow(), 0);
  EXPECT_TRUE(shown() == as_found);
}

}  // namespace
}  // namespace quellor::app
