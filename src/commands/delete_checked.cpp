// Deleting the ticked rows' items permanently, after one confirmation.
#include <string>

#include "commands/checked_rows.h"
#include "commands/removing_rows.h"
#include "commands/result_actions.h"
#include "platform/file_operations.h"

namespace quellor::commands {

namespace {

void DeleteConfirmed(ui::Controls& controls, ActionServices& services) {
  const RemovalTally tally =
      RemoveCheckedItems(controls, services, "正在删除，请稍等...", [&](int row, const std::string& path) {
        // An item that is no longer what the search found there is left alone.
        services.files.Remove(path, controls.超级列表框_结果.RowKind(row));
        return true;
      });
  if (tally.taken == 0) {
    if (!tally.finished) return;
    services.dialogs.ShowMessage("您没有选择任何文件！", "信息：", ui::MessageButtons::Ok,
                                 ui::MessageIcon::None);
  } else {
    controls.标签_状态.SetCaption(EndText("删除完毕！", "删除", tally.failed));
  }
}

}  // namespace

void DeleteChecked(ui::Controls& controls, ActionServices& services) {
  if (services.dialogs.ShowMessage("您确定要删除选定的文件吗？请慎重，删除后不可恢复！", "确定删除吗？",
                                   ui::MessageButtons::OkCancel,
                                   ui::MessageIcon::None) != ui::MessageAnswer::Ok) {
    return;
  }
  DeleteConfirmed(controls, services);
}

void DeleteCheckedAfterCountedQuestion(ui::Controls& controls, ActionServices& services) {
  if (!ConfirmCountedRemoval(controls, services, "确定要永久删除勾选的 ", " 个文件吗？删除后不可恢复！",
                             "确定删除吗？")) {
    return;
  }
  DeleteConfirmed(controls, services);
}

}  // namespace quellor::commands
