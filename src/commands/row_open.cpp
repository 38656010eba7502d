// Opening the current row's item, or its folder with the item selected.
#include "commands/result_actions.h"
#include "platform/file_operations.h"
#include "platform/shell.h"

namespace quellor::commands {

void OpenCurrentRow(ui::Controls& controls, ActionServices& services) {
  const int row = controls.超级列表框_结果.CurrentRow();
  if (row < 0) return;
  // A failed request shows nothing: the user sees that nothing opened.
  services.shell.Open(controls.超级列表框_结果.RowText(row), platform::ShellVerb::Open);
}

void OpenContainingFolder(ui::Controls& controls, ActionServices& services) {
  const int row = controls.超级列表框_结果.CurrentRow();
  if (row < 0) return;
  const std::string path = controls.超级列表框_结果.RowText(row);
  if (services.files.KindOf(path) == platform::PathKind::Missing) return;
  // The item is there: a shell that cannot show it (a path past 260
  // characters on an older Windows) would otherwise look like a click lost.
  if (!services.shell.ShowInFolder(path)) {
    services.dialogs.ShowMessage(text::ShownText("系统无法打开该文件所在的文件夹（路径可能过长）：\r\n").AddName(path),
                                 "信息：", ui::MessageButtons::Ok, ui::MessageIcon::None);
  }
}

}  // namespace quellor::commands
