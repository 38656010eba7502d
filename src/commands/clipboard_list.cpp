// The result rows on the clipboard: the ticked rows as a file list, the
// selected rows' paths as text.
#include <string>
#include <vector>

#include "commands/drop_list.h"
#include "commands/result_actions.h"
#include "platform/clipboard.h"
#include "platform/text_encoding.h"

namespace quellor::commands {

void CopyCheckedToClipboard(ui::Controls& controls, ActionServices& services) {
  const search::ResultRows& rows = controls.超级列表框_结果.Rows();
  std::vector<std::string> paths;
  paths.reserve(static_cast<std::size_t>(rows.CheckedCount()));
  for (int row = 0; row < rows.Count(); ++row) {
    if (rows.Checked(row)) paths.emplace_back(rows.Path(row));
  }
  const auto tell = [&](const char* text) {
    services.dialogs.ShowMessage(text, "信息：", ui::MessageButtons::Ok, ui::MessageIcon::None);
  };
  if (paths.empty()) {
    tell("您没有选定任何文件！");
  } else if (PutDropListOnClipboard(services.clipboard, paths)) {
    tell("选定的文件已经复制到剪贴板，可以直接进行粘贴！(Ctrl+V)");
  } else {
    services.dialogs.ShowMessage("无法把选定的文件放到剪贴板上：剪贴板可能正被其他程序占用，请稍后再试。", "信息：",
                                 ui::MessageButtons::Ok, ui::MessageIcon::Error);
  }
}

// Silent when it works, as a copy key is; the rows hold the paths as the
// platform writes names, and the clipboard takes them as UTF-16.
void CopySelectedPathsAsText(ui::Controls& controls, ActionServices& services) {
  const ui::ListView& list = controls.超级列表框_结果;
  const std::vector<int> selected = list.SelectedRows();
  if (selected.empty()) return;
  std::string lines;
  for (int row : selected) {
    if (!lines.empty()) lines += "\r\n";
    lines += list.Rows().Path(row);
  }
  const std::optional<std::u16string> text = platform::DecodeText(lines, platform::NameEncoding());
  if (!text || !services.clipboard.PutText(*text)) {
    services.dialogs.ShowMessage("无法把选定行的路径放到剪贴板上：剪贴板可能正被其他程序占用，请稍后再试。", "信息：",
                                 ui::MessageButtons::Ok, ui::MessageIcon::Error);
  }
}

}  // namespace quellor::commands
