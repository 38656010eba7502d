// The search commands over in-memory controls and the engine they start: the
// request's checks and cleaning, rows and texts delivered on the "window
// thread", stop, a new request during a run; the status line's words.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "commands/search_commands.h"
#include "commands/search_status_text.h"
#include "platform/helper_process.h"
#include "platform/system_charset.h"
#include "search/search_engine.h"
#include "support/memory_controls.h"
#include "support/row_setup.h"
#include "support/scripted_dialogs.h"
#include "support/standard_trees.h"
#include "support/temp_tree.h"

namespace quellor::commands {
namespace {

using quellor::testing::TempTree;
using Rows = std::vector<std::string>;

const text::Charset gbk = text::Charset::Gbk();

struct Window {
  explicit Window(const text::Charset& cs = platform::NameCharset())
      : services{dialogs, cs, [this] { return whole_computer; }} {}

  void Start() { StartSearch(c.controls(), engine, services); }
  void Deliver() { engine.DeliverPending(display); }
  // Delivers until the run has ended, as the window's message loop would.
  void Finish() {
    while (engine.Running()) {
      Deliver();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    Deliver();
  }
  void UseFolders(std::vector<std::string> roots) {
    c.列表框_路径.DeleteAll();
    for (const std::string& root : roots) c.列表框_路径.Append(root);
  }

  testing::MemoryControls c;
  testing::ScriptedDialogs dialogs;
  std::vector<std::string> whole_computer;
  search::SearchEngine engine{[] {}, search::Batching{1024, std::chrono::milliseconds(30)}};
  SearchServices services;
  ResultListDisplay display{c.controls()};
};

TEST(StartSearch, WantsAFolderBeforeAnythingElse) {
  Window w;
  w.c.按钮_停止搜索.SetCaption("已停止");
  w.c.编辑框_文件名.SetText("\r\n");
  w.Start();
  ASSERT_EQ(w.dialogs.messages.size(), 1u);
  EXPECT_EQ(w.dialogs.messages[0].text, "您选择的是按指定路径搜索，请指定搜索路径后再搜索！");
  EXPECT_EQ(w.dialogs.messages[0].caption, "信息：");
  EXPECT_EQ(w.c.按钮_停止搜索.Caption(), "已停止");
  EXPECT_EQ(w.c.编辑框_文件名.Text(), "\r\n");
  EXPECT_FALSE(w.c.按钮_未搜索到文件.Enabled());
  EXPECT_FALSE(w.engine.Running());
}

TEST(StartSearch, WithoutKeywordsKeepsTheOldRows) {
  Window w(gbk);
  w.UseFolders({"missing"});
  testing::AppendRows(w.c.超级列表框_结果, {"old"});
  w.c.按钮_停止搜索.SetCaption("已停止");
  w.c.编辑框_文件名.SetText("  \r\n\xA1\xA1\r\n");
  w.Start();
  ASSERT_EQ(w.dialogs.messages.size(), 1u);
  EXPECT_EQ(w.dialogs.messages[0].text, "您没有输入任何要搜索的文件名！请输入后再执行搜索！");
  EXPECT_EQ(w.c.编辑框_文件名.Text(), "");
  EXPECT_EQ(w.c.按钮_停止搜索.Caption(), "停止搜索");
  EXPECT_EQ(w.c.超级列表框_结果.Texts(), Rows{"old"});
  EXPECT_FALSE(w.c.按钮_未搜索到文件.Enabled());
}

TEST(StartSearch, CleansTheKeywordBoxAndSearchesEveryKeptLine) {
  TempTree t;
  t.File(" a .txt");
  t.File("b.txt");
  t.File("sub/b");
  Window w;
  w.UseFolders({t.Root()});
  testing::AppendRows(w.c.超级列表框_结果, {"old"});
  const std::string wide_space(platform::NameCharset().FullWidthSpace());
  w.c.编辑框_文件名.SetText(" a \r\n\r\n   \r\n" + wide_space + "\r\nb\r\n\tb");
  w.Start();
  EXPECT_EQ(w.c.编辑框_文件名.Text(), " a \r\nb\r\n\tb\r\n");
  EXPECT_TRUE(w.c.超级列表框_结果.Texts().empty());
  EXPECT_TRUE(w.c.按钮_未搜索到文件.Enabled());
  w.Finish();
  const Rows rows = w.c.超级列表框_结果.Texts();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2], t.Path("sub/b"));
  EXPECT_EQ(w.c.标签_状态.Caption(), "搜索完毕！共搜索到文件3个.");
}

// Three boxes that clean up to the same list: only a change is written back,
// and the search, its rows and its texts are those of the list.
TEST(StartSearch, WritesTheKeywordBoxBackOnlyWhenItsCleanUpChangesIt) {
  TempTree t;
  t.File("a.txt");
  t.File("sub/b.txt");
  const struct {
    std::string text;
    std::vector<std::string> writes;
  } cases[] = {
      {"a\r\nb\r\n", {}},
      {"a\r\nb", {"append:\r\n"}},
      {"\r\na\r\n  \r\nb\r\n\r\n", {"set:", "append:a\r\nb\r\n"}},
  };
  for (const auto& c : cases) {
    Window w;
    w.UseFolders({t.Root()});
    w.c.编辑框_文件名.SetText(c.text);
    w.c.编辑框_文件名.writes.clear();
    w.Start();
    EXPECT_EQ(w.c.编辑框_文件名.writes, c.writes) << c.text;
    EXPECT_EQ(w.c.编辑框_文件名.Text(), "a\r\nb\r\n");
    w.Finish();
    EXPECT_EQ(w.c.超级列表框_结果.Texts(), (Rows{t.Path("a.txt"), t.Path("sub/b.txt")})) << c.text;
    EXPECT_EQ(w.c.标签_状态.Caption(), "搜索完毕！共搜索到文件2个.");
  }
}

TEST(StartSearch, FolderNameRunsWriteTheirOwnTexts) {
  TempTree t;
  t.Folder("Photos/2024");
  Window w;
  w.UseFolders({t.Root(), t.Path("Photos")});
  w.c.选择框_搜索目录.SetChecked(true);
  w.c.单选框_精确搜索.SetChecked(false);
  w.c.单选框_模糊搜索.SetChecked(true);
  w.c.编辑框_文件名.SetText("photo");
  w.Start();
  w.Finish();
  EXPECT_EQ(w.c.超级列表框_结果.Texts(), (Rows{t.Path("Photos"), t.Path("Photos")}));
  EXPECT_EQ(w.c.标签_状态.Caption(), "搜索完毕！共搜索到文件夹2个.");
}

// Neither match-mode radio checked, which no click or stored option leaves:
// folder names follow the rule of file names, exact unless fuzzy is checked.
TEST(StartSearch, WithNeitherMatchModeCheckedFolderNamesAreMatchedExactlyLikeFileNames) {
  TempTree t;
  t.Folder("Photos");
  t.File("Photos.txt");
  Window w;
  w.UseFolders({t.Root()});
  w.c.单选框_精确搜索.SetChecked(false);
  w.c.单选框_模糊搜索.SetChecked(false);
  w.c.编辑框_文件名.SetText("photo\r\nphotos");
  w.Start();
  w.Finish();
  EXPECT_EQ(w.c.超级列表框_结果.Texts(), Rows{t.Path("Photos.txt")});
  w.c.选择框_搜索目录.SetChecked(true);
  w.Start();
  w.Finish();
  EXPECT_EQ(w.c.超级列表框_结果.Texts(), Rows{t.Path("Photos")});
}

TEST(StartSearch, AWholeComputerWithoutDrives) {
  Window w;
  w.c.单选框_整个电脑.SetChecked(true);
  w.c.单选框_指定路径.SetChecked(false);
  w.c.编辑框_文件名.SetText("x");
  w.c.标签_状态.SetCaption("before");
  w.Start();
  EXPECT_FALSE(w.engine.Running());
  w.Finish();
  EXPECT_EQ(w.c.标签_状态.Caption(), "before");
  w.c.选择框_搜索目录.SetChecked(true);
  w.Start();
  w.Finish();
  EXPECT_EQ(w.c.标签_状态.Caption(), "搜索完毕！共搜索到文件夹0个.");
}

// An administrator whose rights are filtered is asked once, before the first
// whole-computer search, whether to read the disks' indexes through the
// helper; the answer is kept in config.ini and the end says why a drive was
// walked. Here the drive is a folder the index source takes for an NTFS disk.
TEST(StartSearch, TheHelperIsOfferedOnceAndTheAnswerIsKept) {
  TempTree t;
  quellor::testing::trees::Wide(t, 3);
  TempTree program;
  const SettingsLocation where{program.Root(), &platform::NameCharset(), platform::kPathSeparator};
  int launches = 0;
  const auto indexes_for = [&] {
    search::WholeComputerIndexes::Services services;
    services.volume_of = [](const std::string&) { return search::RootVolume{true, false, "NTFS"}; };
    services.rights = search::ProcessRights::CanElevate;
    services.helper = std::make_unique<ntfs::HelperClient>([&](const std::vector<std::string>&, int&, bool& declined) {
      ++launches;
      declined = true;  // the system's prompt was declined
      return std::unique_ptr<platform::ChildProcess>();
    });
    return std::make_shared<search::WholeComputerIndexes>(std::move(services));
  };
  const struct {
    ui::MessageAnswer answer;
    std::string stored;
    std::string why;
  } cases[] = {
      {ui::MessageAnswer::Cancel, "假", "未使用管理员权限"},
      {ui::MessageAnswer::Ok, "真", "未使用管理员权限"},  // then the system's prompt was declined
  };
  // A window of its own session, searching the whole computer.
  const auto open = [&](Window& w) {
    w.services.volume_indexes = indexes_for();
    w.services.settings = &where;
    w.whole_computer = {t.Root()};
    w.c.单选框_整个电脑.SetChecked(true);
    w.c.单选框_指定路径.SetChecked(false);
    w.c.编辑框_文件名.SetText("hit*");
  };
  for (const auto& c : cases) {
    std::remove(where.FilePath(kConfigFile).c_str());
    launches = 0;
    Window w;
    open(w);
    w.dialogs.answers.push_back(c.answer);
    for (int search = 0; search < 2; ++search) {
      w.Start();
      w.Finish();
      EXPECT_EQ(w.c.标签_状态.Caption(), "搜索完毕！共搜索到文件3个. " + t.Root() + "按文件夹搜索（" + c.why + "）");
    }
    EXPECT_EQ(w.dialogs.messages.size(), 1u) << "asked once";
    EXPECT_EQ(ReadOption(where, kKeyReadIndexAsAdministrator), c.stored);
    EXPECT_EQ(launches, c.stored == "真" ? 1 : 0) << "a declined prompt is not shown again";

    // A later session takes the kept answer without asking.
    Window later;
    open(later);
    later.Start();
    later.Finish();
    EXPECT_TRUE(later.dialogs.messages.empty());
  }
}

// Memory that runs out (the row stores refusing rows beyond a count) ends
// the run with the rows found so far kept and the reason in the status line.
TEST(StartSearch, ARunOutOfMemoryEndsWithItsRowsKeptAndSaysWhy) {
  TempTree t;
  quellor::testing::trees::Wide(t, 600);
  Window w;
  w.UseFolders({t.Root()});
  w.c.编辑框_文件名.SetText("hit*");
  struct Limit {
    Limit() { search::ResultRows::RefuseRowsBeyondForTesting(150); }
    ~Limit() { search::ResultRows::RefuseRowsBeyondForTesting(-1); }
  } limit;
  w.Start();
  w.Finish();
  const int rows = w.c.超级列表框_结果.RowCount();
  EXPECT_GT(rows, 0);
  EXPECT_LE(rows, 150);
  EXPECT_EQ(w.c.标签_状态.Caption(), "内存不足，搜索已停止！共搜索到文件" + std::to_string(rows) + "个.");
  EXPECT_FALSE(w.engine.Running());
}

TEST(StartSearch, ANewRequestDropsTheRowsOfTheRunBefore) {
  TempTree t;
  quellor::testing::trees::Wide(t, 200);
  t.File("only.txt");
  Window w;
  w.UseFolders({t.Root()});
  w.c.编辑框_文件名.SetText("hit*");
  w.Start();
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  w.c.编辑框_文件名.SetText("only");
  w.Start();
  w.Finish();
  EXPECT_EQ(w.c.超级列表框_结果.Texts(), Rows{t.Path("only.txt")});
  EXPECT_EQ(w.c.标签_状态.Caption(), "搜索完毕！共搜索到文件1个.");
}

// A list long enough that cutting it into keywords takes the run a while.
std::string LongList(const std::string& last) {
  std::string list;
  for (int i = 0; i < 200000; ++i) list += "name" + std::to_string(i) + "\r\n";
  return list + last;
}

// A second request, a stop or a close while the run before is still cutting
// its list: neither its rows nor its texts reach the window afterwards.
TEST(StartSearch, ARunStillCuttingItsListGivesWayToWhatFollows) {
  TempTree t;
  quellor::testing::trees::Wide(t, 50);
  t.File("only.txt");
  {
    Window w;
    w.UseFolders({t.Root()});
    w.c.编辑框_文件名.SetText(LongList("hit*"));
    w.Start();
    w.c.编辑框_文件名.SetText("only");
    w.Start();
    w.Finish();
    EXPECT_EQ(w.c.超级列表框_结果.Texts(), Rows{t.Path("only.txt")});
    EXPECT_EQ(w.c.标签_状态.Caption(), "搜索完毕！共搜索到文件1个.");
  }
  {
    Window w;
    w.UseFolders({t.Root()});
    w.c.编辑框_文件名.SetText(LongList("hit*"));
    w.Start();
    StopSearch(w.c.controls(), w.engine);
    w.Finish();
    const int rows = w.c.超级列表框_结果.RowCount();
    EXPECT_LT(rows, 50);
    EXPECT_EQ(w.c.标签_状态.Caption(), "搜索完毕！共搜索到文件" + std::to_string(rows) + "个.");
  }
  {
    Window w;
    w.UseFolders({t.Root()});
    w.c.编辑框_文件名.SetText(LongList("hit*"));
    w.Start();
    w.engine.StopAndWait();
    EXPECT_FALSE(w.engine.Running());
  }
}

#ifdef QUELLOR_FIND
std::string FindRows(const std::string& names_file, const std::string& root) {
  const std::string command = std::string(QUELLOR_FIND) + " --names '" + names_file + "' '" + root + "' 2>/dev/null";
  std::string out;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
  ::pclose(pipe);
  return out;
}

// 30,000 names as people paste them (duplicates, blank lines, no final line
// break): the window lists exactly the rows quellor-find prints for the list.
TEST(StartSearch, ALongListFindsTheRowsQuellorFindFinds) {
  TempTree t;
  for (int i = 0; i < 300; ++i) t.File("tree/d" + std::to_string(i % 7) + "/IMG_" + std::to_string(i) + ".jpg");
  std::string list;
  for (int i = 0; i < 30000; ++i) {
    list += "IMG_" + std::to_string(i % 50 == 0 ? i / 50 % 300 : 100000 + i) + (i % 1000 == 0 ? "\r\n \r\n" : "\r\n");
  }
  list += "IMG_299";
  t.Write("names.txt", list);
  Window w;
  w.UseFolders({t.Path("tree")});
  w.c.编辑框_文件名.SetText(list);
  w.Start();
  w.Finish();
  std::string rows;
  for (const std::string& row : w.c.超级列表框_结果.Texts()) rows += row + "\n";
  EXPECT_EQ(rows, FindRows(t.Path("names.txt"), t.Path("tree")));
  EXPECT_EQ(w.c.超级列表框_结果.RowCount(), 2 * 300 + 1) << "every file's name is listed twice, IMG_299 once more";
}
#endif

TEST(StopSearch, EndsTheRunWithTheRowsFoundSoFar) {
  TempTree t;
  quellor::testing::trees::Wide(t, 300);
  Window w;
  w.UseFolders({t.Root(), t.Root()});
  w.c.编辑框_文件名.SetText("hit*");
  w.Start();
  StopSearch(w.c.controls(), w.engine);
  EXPECT_EQ(w.c.按钮_停止搜索.Caption(), "已停止");
  w.Finish();
  const int rows = w.c.超级列表框_结果.RowCount();
  EXPECT_LT(rows, 600);
  EXPECT_EQ(w.c.标签_状态.Caption(), "搜索完毕！共搜索到文件" + std::to_string(rows) + "个.");
  // A click after the end only changes the caption; the next request clears it.
  StopSearch(w.c.controls(), w.engine);
  EXPECT_EQ(w.c.标签_状态.Caption(), "搜索完毕！共搜索到文件" + std::to_string(rows) + "个.");
  w.Start();
  EXPECT_EQ(w.c.按钮_停止搜索.Caption(), "停止搜索");
  w.Finish();
  EXPECT_EQ(w.c.超级列表框_结果.RowCount(), 600);
}

TEST(SearchStatusText, IsThatOfTheWindow) {
  using Stage = search::RunStatus::Stage;
  // The C runtime's first rand() after srand(20062) is 16.
  EXPECT_EQ(SearchStatusText({Stage::KeywordSearched, "abc"}, 20062),
            text::ShownText("请稍后，正在搜索").AddName("abc").AddWords("  加速17"));
  EXPECT_EQ(SearchStatusText({Stage::FolderRunStarted}, 0), text::ShownText("正在搜索，请等待......"));
  const struct {
    search::RunStatus status;
    std::string text;
  } ends[] = {
      {{Stage::FileRunEnded, {}, 0}, "搜索完毕！共搜索到文件0个."},
      {{Stage::FolderRunEnded, {}, 12}, "搜索完毕！共搜索到文件夹12个."},
      {{Stage::FileRunEnded, {}, 4, 1}, "搜索完毕！共搜索到文件4个. 另有1个文件夹无法读取"},
      {{Stage::FolderRunEnded, {}, 0, 2}, "搜索完毕！共搜索到文件夹0个. 另有2个文件夹无法读取"},
  };
  for (const auto& end : ends) EXPECT_EQ(SearchStatusText(end.status, 0), text::ShownText(end.text));

  search::RunStatus reading{Stage::VolumeBeingRead};
  reading.root = "D:";
  reading.percent = 42;
  EXPECT_EQ(SearchStatusText(reading, 0),
            text::ShownText("请稍后，正在读取").AddName("D:").AddWords("的磁盘索引 42%"));
  const search::WalkedRoot walked[] = {{"C:", search::WalkReason::NoRights}, {"E:", search::WalkReason::ReadFailed}};
  search::RunStatus end{Stage::FileRunEnded, {}, 3};
  end.walked = walked;
  EXPECT_EQ(SearchStatusText(end, 0), text::ShownText("搜索完毕！共搜索到文件3个. ")
                                          .AddName("C:")
                                          .AddWords("按文件夹搜索（没有管理员权限） ")
                                          .AddName("E:")
                                          .AddWords("按文件夹搜索（磁盘索引无法读取）"));
}

}  // namespace
}  // namespace quellor::commands
