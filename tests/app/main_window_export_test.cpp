// The export through the real window and its own save dialog, which another
// program (window-driver) answers as a user would: six of the invoices of a
// Linux user's folder, four of whose names code page 936 cannot write, found
// by their names, two ticked, sorted. window_export_check.py reads the files
// back with Python's csv module after this test, field by field, against the
// tree and the list's order written beside them (rows.txt).
#include "app/main_window_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "platform/win32/wide_text_win32.h"
#include "support/foreign_names.h"
#include "support/row_setup.h"

namespace quellor::app {
namespace {

using testing::Utf8;

class WindowExportTest : public MainWindowTest {};

TEST_F(WindowExportTest, SixInvoicesThroughTheSaveDialog) {
  const char* made = std::getenv("QUELLOR_INVOICE_TREE");
  const char* out = std::getenv("QUELLOR_EXPORT_DIR");
  if (made == nullptr || out == nullptr) GTEST_SKIP() << "QUELLOR_INVOICE_TREE or QUELLOR_EXPORT_DIR is not set";
  const std::string invoices = testing::WinePath(made);
  const std::string out_dir = testing::WinePath(out);
  CreateDirectoryA(out_dir.c_str(), nullptr);
  for (const char* stale : {"\\rows.txt", "\\导出结果.csv", "\\导出结果.txt"}) DeleteFileA((out_dir + stale).c_str());

  // The window's own dialogs: its search folder comes from path.txt.
  folder.Write(commands::kPathFile, invoices + "\r\n");
  Open(nullptr, /*real_dialogs=*/true);
  // Each invoice's name but the decoy's, which a '?' in place of the ö would name.
  const std::string names = Utf8(u8"J\u00F6rg-Rechnung\r\nProdukt\u2122-Rechnung\r\n\uD55C\uAD6D-Rechnung\r\n"
                                 u8"Rechnung-\U0001F600\r\n\u62A5\u544A-Rechnung\r\nRechnung-2024");
  SetWindowTextW(Item(ids::编辑框_文件名), platform::win32::WideName(names).value().c_str());
  Click(ids::按钮_立即搜索);
  ASSERT_TRUE(testing::PumpUntil([&] { return Text(Item(ids::标签_状态)) == "搜索完毕！共搜索到文件6个."; }, 30s, main()))
      << Text(Item(ids::标签_状态));

  ui::ListView& list = window->controls()->超级列表框_结果;
  for (int row = 0; row < list.RowCount(); ++row) {
    const std::string path = list.RowText(row);
    if (path.find(Utf8(u8"\uD55C\uAD6D")) != std::string::npos || path.find(Utf8(u8"\U0001F600")) != std::string::npos) {
      testing::SetRowChecked(list, row, true);
    }
  }
  SendMessageA(main(), WM_COMMAND, MAKEWPARAM(ids::结果列标题_排序, 0), 0);
  ASSERT_EQ(list.HeaderOrder(), search::RowOrder::PathAscending);
  std::string rows;
  for (int row = 0; row < list.RowCount(); ++row) rows += list.RowText(row) + "\n";
  std::ofstream(out_dir + "\\rows.txt", std::ios::binary) << rows;

  // A name typed without an extension takes the chosen type's.
  const std::string csv = RunDriver("export \"" + out_dir + "\\导出结果\" csv");
  EXPECT_NE(csv.find("status=已导出 6 行到 " + out_dir + "\\导出结果.csv\n"), std::string::npos) << csv;
  const std::string txt = RunDriver("export \"" + out_dir + "\\导出结果\" txt");
  EXPECT_NE(txt.find("status=已导出 6 行到 " + out_dir + "\\导出结果.txt\n"), std::string::npos) << txt;
}

}  // namespace
}  // namespace quellor::app
