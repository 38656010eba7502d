// The result list's export on the in-memory window: when it asks nothing,
// every row in the list's order with its keyword, facts and tick, and a
// writer beside the window's thread that ticks cannot disturb.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "commands/action_fixture.h"
#include "platform/local_time.h"
#include "support/foreign_names.h"
#include "support/row_setup.h"

namespace quellor::testing {
namespace {

using Table = std::vector<std::vector<std::string>>;

// The table's rows after its header; none of these tests' fields holds a comma or a quote.
Table ReadTable(const std::string& bytes) {
  EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
  Table table;
  std::size_t at = bytes.find("\r\n") + 2;  // past the header
  while (at < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", at);
    const std::string line = bytes.substr(at, end - at);
    table.emplace_back();
    for (std::size_t from = 0;;) {
      const std::size_t comma = line.find(',', from);
      table.back().push_back(line.substr(from, comma - from));
      if (comma == std::string::npos) break;
      from = comma + 1;
    }
    at = end + 2;
  }
  return table;
}

// The system's own units: `seconds` after 1970.
std::int64_t At(std::int64_t seconds) {
  return platform::kModifiedAt1970 + seconds * platform::kModifiedUnitsPerSecond;
}

class ExportTest : public ActionTest {
 protected:
  // Rows as a search delivers them: the run's keywords, each row's index and
  // what the listing told of it.
  void AddFoundRow(const std::string& relative, std::uint32_t keyword, const platform::EntryFacts& facts = {}) {
    search::ResultRows& rows = memory_.超级列表框_结果.Rows();
    if (!rows.RunKeywords()) rows.SetRunKeywords(keywords_);
    const std::string path = Path(relative);
    rows.Append(path, files_->KindOf(path), keyword, facts);
    memory_.超级列表框_结果.RowsAppended();
  }
  std::string Status() const { return memory_.标签_状态.Caption(); }

  const search::ResultRows::Keywords keywords_ = std::make_shared<const std::vector<std::string>>(
      std::vector<std::string>{"b", Utf8(u8"\u62A5\u544A"), "sub"});  // b, 报告, sub
  const std::string yes_ = Utf8(u8"\u662F");
  const std::string no_ = Utf8(u8"\u5426");
};

TEST_F(ExportTest, NothingIsWrittenWhileASearchRunsForAnEmptyListOrWhenCancelled) {
  commands::ExportResultList(controls(), services_, false);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, "结果列表是空的，没有可导出的内容！");
  EXPECT_TRUE(dialogs_.save_requests.empty());

  MakeFile("b.txt", "b");
  AddFoundRow("b.txt", 0);
  commands::ExportResultList(controls(), services_, /*search_running=*/true);
  EXPECT_EQ(Status(), "正在搜索，搜索结束后才能导出。");
  memory_.标签_状态.SetCaption(text::ShownText());
  memory_.超级列表框_结果.Rows().Append(Path("late.txt"));  // delivered, not shown yet: the search's end is near
  commands::ExportResultList(controls(), services_, false);
  EXPECT_EQ(Status(), "正在搜索，搜索结束后才能导出。");
  EXPECT_TRUE(dialogs_.save_requests.empty());

  memory_.超级列表框_结果.RowsAppended();
  memory_.标签_状态.SetCaption(text::ShownText());
  commands::ExportResultList(controls(), services_, false);  // the dialog is cancelled
  ASSERT_EQ(dialogs_.save_requests.size(), 1u);
  EXPECT_TRUE(std::regex_match(dialogs_.save_requests[0].default_name,
                               std::regex("搜索结果-20[0-9][0-9]-[01][0-9]-[0-3][0-9]\\.csv")))
      << dialogs_.save_requests[0].default_name;
  EXPECT_EQ(dialogs_.save_requests[0].extensions, (std::vector<std::string>{"csv", "txt"}));
  EXPECT_EQ(Status(), "");
  EXPECT_EQ(dialogs_.messages.size(), 1u);
}

// The table holds what the search told (a size and time the listing gave are
// written as given: no look at the item), looks up what it did not, and
// follows the list's order after a sort; the plain list holds the paths alone.
TEST_F(ExportTest, EveryRowInTheListsOrderWithItsKeywordFactsAndTick) {
  MakeFile("b.txt", "bb");
  MakeFile(Utf8(u8"\u62A5\u544A.txt"), "12345");  // 报告.txt
  MakeFolder("sub");
  MakeFile(kJoerg, "x");
  AddFoundRow("b.txt", 0, {true, 999, At(1700000000)});
  AddFoundRow(Utf8(u8"\u62A5\u544A.txt"), 1);
  AddFoundRow("sub", 2);
  AddFoundRow(kJoerg, 0, {true, 1, At(1600000000)});
  testing::SetRowChecked(memory_.超级列表框_结果, 1, true);
  commands::SortRowsByHeader(controls(), services_, false);  // b.txt, Jörg…, sub, 报告.txt

  const std::string csv = Path("out.csv");
  dialogs_.saves.push_back({csv, 0});
  commands::ExportResultList(controls(), services_, false);
  EXPECT_EQ(Status(), "已导出 4 行到 " + csv);
  const platform::ItemState report = files_->StateOf(Path(Utf8(u8"\u62A5\u544A.txt")));
  const platform::ItemState sub = files_->StateOf(Path("sub"));
  const std::string folder = Path();
  const Table expected = {
      {Path("b.txt"), "b.txt", folder, "999", platform::LocalTimeText(At(1700000000)), no_, "b"},
      {Path(kJoerg), kJoerg, folder, "1", platform::LocalTimeText(At(1600000000)), no_, "b"},
      {Path("sub"), "sub", folder, "", platform::LocalTimeText(sub.modified), no_, "sub"},
      {Path(Utf8(u8"\u62A5\u544A.txt")), Utf8(u8"\u62A5\u544A.txt"), folder, "5",
       platform::LocalTimeText(report.modified), yes_, Utf8(u8"\u62A5\u544A")},
  };
  EXPECT_EQ(ReadTable(Content("out.csv").value_or("")), expected);

  dialogs_.saves.push_back({Path("out.txt"), 1});
  commands::ExportResultList(controls(), services_, false);
  std::string lines;
  for (const std::vector<std::string>& row : expected) lines += row[0] + "\r\n";
  // UTF-8 (with a mark where the system's code page is another: the German name needs it).
  std::string plain = Content("out.txt").value_or("");
  if (plain.rfind("\xEF\xBB\xBF", 0) == 0) plain.erase(0, 3);
  EXPECT_EQ(plain, lines);
}

// Looks slowly at the first item, so the window handles its events while the
// file is being written.
class SlowFirstLook : public ForwardingFileOperations {
 public:
  using ForwardingFileOperations::ForwardingFileOperations;
  platform::ItemState StateOf(const std::string& path) const override {
    if (!looked_.exchange(true)) std::this_thread::sleep_for(std::chrono::milliseconds(60));
    return inner_.StateOf(path);
  }

 private:
  mutable std::atomic<bool> looked_{false};
};

// Each turn of the window's events clicks every row's box, as a user may;
// after `close_after` turns the window is asked to close.
class ClickingPump : public ui::EventPump {
 public:
  explicit ClickingPump(ui::ListView& list) : list_(list) {}
  bool ProcessPendingEvents() override {
    ++turns;
    list_.Rows().SetAllChecked(turns % 2 == 1);
    list_.RowsChanged();
    return turns <= close_after;
  }
  int turns = 0;
  int close_after = 1 << 30;

 private:
  ui::ListView& list_;
};

TEST_F(ExportTest, TicksClickedWhileTheFileIsWrittenWaitForTheNextExportAndACloseStopsIt) {
  for (int i = 0; i < 200; ++i) {
    MakeFile("f" + std::to_string(i) + ".txt", "x");
    AddFoundRow("f" + std::to_string(i) + ".txt", 0);
  }
  testing::SetRowChecked(memory_.超级列表框_结果, 7, true);
  SlowFirstLook slow(*system_files_);
  ClickingPump pump(memory_.超级列表框_结果);
  commands::ActionServices services{dialogs_, pump, slow, shell_, clipboard_, platform::NameCharset(), root_.string(),
                                    &text::FoldAsciiCase};
  dialogs_.saves.push_back({Path("out.csv"), 0});
  commands::ExportResultList(controls(), services, false);
  EXPECT_GT(pump.turns, 0) << "the window answered meanwhile";
  const Table table = ReadTable(Content("out.csv").value_or(""));
  ASSERT_EQ(table.size(), 200u);
  for (std::size_t row = 0; row < table.size(); ++row) ASSERT_EQ(table[row][5], row == 7 ? yes_ : no_) << row;

  SlowFirstLook slow_again(*system_files_);
  commands::ActionServices closing{dialogs_, pump, slow_again, shell_, clipboard_, platform::NameCharset(),
                                   root_.string(), &text::FoldAsciiCase};
  pump.close_after = pump.turns;
  dialogs_.saves.push_back({Path("closed.csv"), 0});
  commands::ExportResultList(controls(), closing, false);
  EXPECT_FALSE(Exists("closed.csv"));
  EXPECT_EQ(Status(), "导出已停止。");
}

TEST_F(ExportTest, AFailureSaysWhyAndLeavesNoFile) {
  MakeFile("b.txt", "b");
  AddFoundRow("b.txt", 0);
  const std::string target = Path("missing/out.csv");
  dialogs_.saves.push_back({target, 0});
  commands::ExportResultList(controls(), services_, false);
  const std::string status = Status();
  EXPECT_EQ(status.rfind("无法导出到 " + target + "：", 0), 0u) << status;
  EXPECT_GT(status.size(), std::string("无法导出到 " + target + "：").size()) << "with the system's reason";
  EXPECT_FALSE(Exists("missing"));
}

}  // namespace
}  // namespace quellor::testing
