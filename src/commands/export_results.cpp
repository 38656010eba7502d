// The result list's menu item 导出结果列表… and Ctrl+S in the list: every row,
// in the list's order, into a file the save dialog names, as a table or as
// one path a line. A million rows take a second or two to write, so the
// writer runs beside the window's thread while the window goes on answering.
#include <atomic>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "commands/beside_the_window.h"
#include "commands/result_actions.h"
#include "files/result_export.h"
#include "platform/file_operations.h"
#include "platform/local_time.h"
#include "platform/system_error.h"

namespace quellor::commands {

namespace {

// In the order of files::ExportFormat's choices below.
constexpr ui::SaveFileType kFileTypes[] = {
    {"CSV 表格，UTF-8 (*.csv)", "csv"},
    {"纯文本，每行一个路径 (*.txt)", "txt"},
};
constexpr std::size_t kPlainTextType = 1;

// The rows as the writer reads them on its own thread. Nothing of the store
// changes while a result action runs (no search can start, no row goes),
// but a click on a row's box ticks it at any time: the ticks, and the kinds
// that share their bytes, are taken here, as they stand when the export
// begins. A size or time the search's listing did not tell is looked up,
// for the table alone.
class ListedRows : public files::ExportRows {
 public:
  ListedRows(const search::ResultRows& rows, const platform::FileOperations& files, bool look_up)
      : rows_(rows), files_(files), look_up_(look_up) {
    marks_.reserve(static_cast<std::size_t>(rows.Count()));
    for (int row = 0; row < rows.Count(); ++row) {
      marks_.push_back(static_cast<std::uint8_t>(static_cast<std::uint8_t>(rows.Kind(row)) << 1 |
                                                 (rows.Checked(row) ? 1 : 0)));
    }
  }

  std::size_t Count() const override { return marks_.size(); }

  files::ExportRow Row(std::size_t index) const override {
    const int at = static_cast<int>(index);
    files::ExportRow row;
    row.path = rows_.Path(at);
    row.kind = static_cast<platform::PathKind>(marks_[index] >> 1);
    row.ticked = (marks_[index] & 1) != 0;
    row.keyword = rows_.Keyword(at);
    row.size = rows_.Size(at);
    row.modified = rows_.Modified(at);
    const bool size_wanted = row.kind != platform::PathKind::Folder;
    if (look_up_ && (!row.modified || (size_wanted && !row.size))) {
      files::TakeLook(files_.StateOf(std::string(row.path)), row);
    }
    return row;
  }

 private:
  const search::ResultRows& rows_;
  const platform::FileOperations& files_;
  bool look_up_;
  std::vector<std::uint8_t> marks_;  // per row: the kind, shifted left by one, and the tick
};

std::string DefaultName() {
  const std::string today = platform::LocalDateToday();
  return today.empty() ? "搜索结果.csv" : "搜索结果-" + today + ".csv";
}

}  // namespace

void ExportResultList(ui::Controls& controls, ActionServices& services, bool search_running) {
  ui::ListView& list = controls.超级列表框_结果;
  // Rows still arrive at the end while a search runs: the export of half a
  // result would pass for the whole of it.
  if (search_running || !list.AllRowsShown()) {
    controls.标签_状态.SetCaption(text::ShownText("正在搜索，搜索结束后才能导出。"));
    return;
  }
  const search::ResultRows& rows = list.Rows();
  if (rows.Count() == 0) {
    services.dialogs.ShowMessage("结果列表是空的，没有可导出的内容！", "信息：", ui::MessageButtons::Ok,
                                 ui::MessageIcon::None);
    return;
  }
  const ui::SaveFileChoice choice = services.dialogs.ChooseSaveFile("导出结果列表", DefaultName(), kFileTypes);
  if (choice.path.empty()) return;
  const files::ExportFormat format =
      choice.type == kPlainTextType ? files::ExportFormat::PlainText : files::ExportFormat::Csv;

  controls.标签_状态.SetCaption(text::ShownText("正在导出结果列表，请稍等..."));
  // A close asked for meanwhile stops the writer, which then leaves no file.
  std::atomic<bool> stop{false};
  int error = 0;
  try {
    const ListedRows listed(rows, services.files, format == files::ExportFormat::Csv);
    error = RunBesideTheWindow(
        [&] {
          return files::ExportResults(choice.path, listed, format, platform::SystemTextEncoding(), &stop);
        },
        services.events, &stop);
  } catch (const std::bad_alloc&) {
    controls.标签_状态.SetCaption(text::ShownText("内存不足，无法导出结果列表。"));
    return;
  }
  if (error == files::kExportStopped) {
    controls.标签_状态.SetCaption(text::ShownText("导出已停止。"));
    return;
  }
  if (error != 0) {
    controls.标签_状态.SetCaption(text::ShownText("无法导出到 ")
                                      .AddName(choice.path)
                                      .AddWords("：" + platform::SystemErrorText(error)));
    return;
  }
  controls.标签_状态.SetCaption(
      text::ShownText("已导出 " + std::to_string(rows.Count()) + " 行到 ").AddName(choice.path));
}

}  // namespace quellor::commands
