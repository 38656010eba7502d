// Deleting the ticked rows' items permanently, after one confirmation.
#include <string>
#include <vector>

#include "commands/checked_rows.h"
#include "commands/result_actions.h"
#include "platform/file_operations.h"

namespace quellor::commands {

void DeleteChecked(ui::Controls& controls, ActionServices& services) {
  if (services.dialogs.ShowMessage("您确定要删除选定的文件吗？请慎重，删除后不可恢复！", "确定删除吗？",
                                   ui::MessageButtons::OkCancel,
                                   ui::MessageIcon::None) != ui::MessageAnswer::Ok) {
    return;
  }
  ui::ListView& list = controls.超级列表框_结果;
  ui::ProgressBar& progress = controls.进度条_文件操作;
  progress.SetPosition(0);
  progress.SetMaximum(list.Rows().CheckedCount());

  int requested = 0;
  int failed = 0;
  std::vector<int> removed_rows;
  const bool finished = VisitCheckedRows(
      list,
      [&] {
        if (!services.events.ProcessPendingEvents()) return false;
        controls.标签_状态.SetCaption("正在删除，请稍等...");
        return true;
      },
      [&](int row) {
        const std::string path = list.RowText(row);
        // An item that is no longer what the search found there is left alone.
        services.files.Remove(path, list.RowKind(row));
        ++requested;
        // What counts is whether the item is gone, not what the removal said: a
        // row whose item survived stays, still ticked, for another try.
        if (services.files.KindOf(path) == platform::PathKind::Missing) {
          removed_rows.push_back(row);
        } else {
          ++failed;
        }
        return true;
      });

  // All in one go: the list shows the rows that remain in one repaint.
  list.RemoveRows(removed_rows);
  progress.SetPosition(progress.Position() + static_cast<int>(removed_rows.size()) + failed);

  if (requested == 0) {
    if (!finished) return;
    services.dialogs.ShowMessage("您没有选择任何文件！", "信息：", ui::MessageButtons::Ok,
                                 ui::MessageIcon::None);
  } else {
    controls.标签_状态.SetCaption(EndText("删除完毕！", "删除", failed));
  }
}

}  // namespace quellor::commands
