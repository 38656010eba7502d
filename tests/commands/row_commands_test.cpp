// Ticking rows, opening the current row, and the drop-list block.
#include <gtest/gtest.h>

#include "commands/action_fixture.h"
#include "commands/drop_list.h"
#include "platform/text_encoding.h"
#include "support/foreign_names.h"
#include "support/row_setup.h"

namespace quellor::testing {
namespace {

using RowCommandsTest = ActionTest;

// The header: by path, the other way, the order found; ticks and selection
// go with their rows, and while a search runs nothing moves.
TEST_F(RowCommandsTest, TheHeaderSortsByPathReversesAndPutsTheFoundOrderBack) {
  ui::ListView& list = memory_.超级列表框_结果;
  testing::AppendRows(memory_.超级列表框_结果, {"D:\\b\\IMG_10.jpg", "D:\\a\\x.jpg", "D:\\b\\IMG_9.jpg"});
  testing::SetRowChecked(memory_.超级列表框_结果, 0, true);
  memory_.超级列表框_结果.SetRowSelected(2, true);
  const std::vector<std::string> found = RowTexts();

  commands::SortRowsByHeader(controls(), services_, /*search_running=*/true);
  EXPECT_EQ(RowTexts(), found);
  EXPECT_EQ(list.HeaderOrder(), search::RowOrder::Found);
  EXPECT_EQ(memory_.标签_状态.Caption(), "正在搜索，搜索结束后才能排序。");

  commands::SortRowsByHeader(controls(), services_, false);
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{"D:\\a\\x.jpg", "D:\\b\\IMG_9.jpg", "D:\\b\\IMG_10.jpg"}));
  EXPECT_EQ(RowTicks(), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(list.SelectedRows(), std::vector<int>{1});
  EXPECT_EQ(list.HeaderOrder(), search::RowOrder::PathAscending);
  commands::SortRowsByHeader(controls(), services_, false);
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{"D:\\b\\IMG_10.jpg", "D:\\b\\IMG_9.jpg", "D:\\a\\x.jpg"}));
  EXPECT_EQ(list.HeaderOrder(), search::RowOrder::PathDescending);
  commands::SortRowsByHeader(controls(), services_, false);
  EXPECT_EQ(RowTexts(), found);
  EXPECT_EQ(RowTicks(), (std::vector<bool>{true, false, false}));
  EXPECT_EQ(list.SelectedRows(), std::vector<int>{2});
  EXPECT_EQ(list.HeaderOrder(), search::RowOrder::Found);
}

TEST_F(RowCommandsTest, TickAllNoneAndSelected) {
  commands::CheckAllRows(controls());  // an empty list: nothing to do, nothing breaks
  testing::AppendRows(memory_.超级列表框_结果, {"a", "b", "c", "d"});
  testing::SetRowChecked(memory_.超级列表框_结果, 0, true);
  commands::CheckSelectedRows(controls());
  EXPECT_EQ(RowTicks(), (std::vector<bool>{true, false, false, false})) << "nothing selected, nothing ticked";
  memory_.超级列表框_结果.SetRowSelected(2, true);
  memory_.超级列表框_结果.SetRowSelected(3, true);
  commands::CheckSelectedRows(controls());
  EXPECT_EQ(RowTicks(), (std::vector<bool>{true, false, true, true}));
  commands::UncheckAllRows(controls());
  EXPECT_EQ(RowTicks(), (std::vector<bool>{false, false, false, false}));
  commands::CheckAllRows(controls());
  EXPECT_EQ(RowTicks(), (std::vector<bool>{true, true, true, true}));
}

TEST_F(RowCommandsTest, OpenActsOnTheTopmostSelectedRowOnly) {
  MakeFile("x/one.txt", "1");
  MakeFile("x/two.txt", "2");
  AddRows({"x/one.txt", "x/two.txt"});
  commands::OpenCurrentRow(controls(), services_);
  commands::OpenContainingFolder(controls(), services_);
  EXPECT_TRUE(shell_.requests.empty()) << "no current row, nothing opened";

  memory_.超级列表框_结果.SetRowSelected(1, true);
  memory_.超级列表框_结果.SetRowSelected(0, true);
  commands::OpenCurrentRow(controls(), services_);
  commands::OpenContainingFolder(controls(), services_);
  ASSERT_EQ(shell_.requests.size(), 2u);
  EXPECT_EQ(shell_.requests[0].path, Path("x/one.txt"));
  EXPECT_FALSE(shell_.requests[0].select_in_folder);
  EXPECT_EQ(shell_.requests[0].verb, platform::ShellVerb::Open);
  EXPECT_EQ(shell_.requests[1].path, Path("x/one.txt"));
  EXPECT_TRUE(shell_.requests[1].select_in_folder);
}

TEST_F(RowCommandsTest, ContainingFolderOfAVanishedItemDoesNothing) {
  AddRows({"gone.txt"});
  memory_.超级列表框_结果.SetRowSelected(0, true);
  commands::OpenContainingFolder(controls(), services_);
  EXPECT_TRUE(shell_.requests.empty());
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(RowCommandsTest, AContainingFolderTheShellCannotOpenIsToldWithItsPath) {
  MakeFile("x/one.txt", "1");
  AddRows({"x/one.txt"});
  memory_.超级列表框_结果.SetRowSelected(0, true);
  shell_.show_in_folder_works = false;
  commands::OpenContainingFolder(controls(), services_);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, "系统无法打开该文件所在的文件夹（路径可能过长）：\r\n" + Path("x/one.txt"));
  EXPECT_EQ(dialogs_.messages[0].caption, "信息：");
}

using ClipboardCommandTest = ActionTest;

TEST_F(ClipboardCommandTest, NothingTickedLeavesTheClipboardAlone) {
  testing::AppendRows(memory_.超级列表框_结果, {"C:\\a.txt"});
  commands::CopyCheckedToClipboard(controls(), services_);
  EXPECT_TRUE(clipboard_.blocks.empty());
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, "您没有选定任何文件！");
  EXPECT_EQ(dialogs_.messages[0].caption, "信息：");
}

TEST_F(ClipboardCommandTest, TickedRowsInListOrderAndTheOutcomeTold) {
  testing::AppendRows(memory_.超级列表框_结果, {"C:\\a.txt", "C:\\b.txt", "C:\\c"});
  testing::SetRowChecked(memory_.超级列表框_结果, 2, true);
  testing::SetRowChecked(memory_.超级列表框_结果, 0, true);
  commands::CopyCheckedToClipboard(controls(), services_);
  ASSERT_EQ(clipboard_.blocks.size(), 1u);
  EXPECT_EQ(clipboard_.blocks[0], commands::BuildDropListBlock({"C:\\a.txt", "C:\\c"}));
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, "选定的文件已经复制到剪贴板，可以直接进行粘贴！(Ctrl+V)");
  EXPECT_EQ(dialogs_.messages[0].caption, "信息：");
  EXPECT_EQ(dialogs_.messages[0].buttons, ui::MessageButtons::Ok);
  EXPECT_EQ(dialogs_.messages[0].icon, ui::MessageIcon::None);

  clipboard_.accept = false;
  commands::CopyCheckedToClipboard(controls(), services_);
  ASSERT_EQ(dialogs_.messages.size(), 2u);
  EXPECT_NE(dialogs_.messages[1].text.find("剪贴板"), std::string::npos);
  EXPECT_EQ(dialogs_.messages[1].icon, ui::MessageIcon::Error);
}

// The result list's Ctrl+C: the selected rows, not the ticked ones.
TEST_F(ClipboardCommandTest, SelectedRowsGoAsTextOneALineInListOrder) {
  testing::AppendRows(memory_.超级列表框_结果, {"C:\\a.txt", "C:\\b.txt", "C:\\c d\\e.txt", "C:\\\x81"});
  testing::SetRowChecked(memory_.超级列表框_结果, 1, true);
  commands::CopySelectedPathsAsText(controls(), services_);
  EXPECT_TRUE(clipboard_.texts.empty()) << "nothing selected: the clipboard keeps what it held";

  memory_.超级列表框_结果.SetRowSelected(2, true);
  memory_.超级列表框_结果.SetRowSelected(0, true);
  commands::CopySelectedPathsAsText(controls(), services_);
  ASSERT_EQ(clipboard_.texts.size(), 1u);
  EXPECT_EQ(clipboard_.texts[0], u"C:\\a.txt\r\nC:\\c d\\e.txt") << "no line break after the last";
  EXPECT_TRUE(dialogs_.messages.empty()) << "a copy key works silently";

  clipboard_.accept = false;
  commands::CopySelectedPathsAsText(controls(), services_);
  memory_.超级列表框_结果.SetRowSelected(3, true);  // ends in a lead byte: no text in any names' encoding
  clipboard_.accept = true;
  commands::CopySelectedPathsAsText(controls(), services_);
  EXPECT_EQ(clipboard_.texts.size(), 2u) << "the undecodable selection never reaches the clipboard";
  ASSERT_EQ(dialogs_.messages.size(), 2u);
  for (const auto& message : dialogs_.messages) {
    EXPECT_NE(message.text.find("剪贴板"), std::string::npos);
    EXPECT_EQ(message.icon, ui::MessageIcon::Error);
  }
}

std::string Header() { return std::string("\x14\0\0\0", 4) + std::string(16, '\0'); }

TEST(DropListBlock, LayoutIsByteExact) {
  EXPECT_EQ(commands::BuildDropListBlock({"C:\\a\\x.txt"}), Header() + std::string("C:\\a\\x.txt\0\0", 12));
  EXPECT_EQ(commands::BuildDropListBlock({"C:\\a\\x.txt", "D:\\y.doc"}),
            Header() + std::string("C:\\a\\x.txt\0D:\\y.doc\0\0", 21));
  // Double-byte paths keep their bytes (a trail byte 0x5C included); fWide stays 0.
  const std::string chinese = "D:\\\xCE\xC4\xBC\xFE\\\xB1\x5C.txt";
  const std::string block = commands::NarrowDropListBlock({chinese});
  EXPECT_EQ(block.size(), 20 + chinese.size() + 2);
  EXPECT_EQ(block, Header() + chinese + std::string("\0\0", 2));
}

// Where names are UTF-8: the narrow list in code page 936 as always while
// every path fits it, a wide one (fWide 1) as soon as one does not; never a
// '?', which the shell would take for a wildcard.
TEST(DropListBlock, WideOnlyWhenAPathDoesNotFitCodePage936) {
  if (platform::NameEncoding() != platform::TextEncoding::Utf8) GTEST_SKIP() << "names are not UTF-8 here";
  for (const InvoiceName& invoice : SevenInvoices()) {
    SCOPED_TRACE(invoice.name);
    const std::string path = "D:\\" + invoice.name;
    const std::string block = commands::BuildDropListBlock({"C:\\a.txt", path});
    const std::u16string wide = *platform::DecodeName(path);
    if (invoice.fits_code_page_936) {
      EXPECT_EQ(block, commands::NarrowDropListBlock({"C:\\a.txt", *platform::EncodeText(wide, platform::TextEncoding::Ansi)}));
    } else {
      EXPECT_EQ(block, commands::WideDropListBlock({u"C:\\a.txt", wide}));
      EXPECT_EQ(block.substr(16, 4), std::string("\1\0\0\0", 4)) << "fWide";
      EXPECT_EQ(block.substr(block.size() - 4), std::string(4, '\0'));
    }
    EXPECT_EQ(block.find('?'), std::string::npos);
  }
}

}  // namespace
}  // namespace quellor::testing
