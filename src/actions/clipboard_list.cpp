// Putting the ticked rows on the clipboard as a file list.
#include <string>
#include <vector>

#include "actions/drop_list.h"
#include "actions/result_actions.h"

namespace quellor::actions {

void CopyCheckedToClipboard(platform::Controls& controls, ActionServices& services) {
  const platform::ResultRows& rows = controls.超级列表框_结果.Rows();
  std::vector<std::string> paths;
  paths.reserve(static_cast<std::size_t>(rows.CheckedCount()));
  for (int row = 0; row < rows.Count(); ++row) {
    if (rows.Checked(row)) paths.emplace_back(rows.Path(row));
  }
  const auto tell = [&](const char* text) {
    services.dialogs.ShowMessage(text, "信息：", platform::MessageButtons::Ok, platform::MessageIcon::None);
  };
  if (paths.empty()) {
    tell("您没有选定任何文件！");
  } else if (PutDropListOnClipboard(services.clipboard, paths)) {
    tell("选定的文件已经复制到剪贴板，可以直接进行粘贴！(Ctrl+V)");
  } else {
    services.dialogs.ShowMessage("无法把选定的文件放到剪贴板上：剪贴板可能正被其他程序占用，请稍后再试。", "信息：",
                                 platform::MessageButtons::Ok, platform::MessageIcon::Error);
  }
}

}  // namespace quellor::actions
