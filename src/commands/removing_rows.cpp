#include "commands/removing_rows.h"

#include <optional>
#include <vector>

#include "commands/checked_rows.h"
#include "platform/file_operations.h"

namespace quellor::commands {

RemovalTally RemoveCheckedItems(ui::Controls& controls, ActionServices& services, const std::string& running,
                                const std::function<bool(int row, const std::string& path)>& remove) {
  ui::ListView& list = controls.超级列表框_结果;
  ui::ProgressBar& progress = controls.进度条_文件操作;
  progress.SetPosition(0);
  progress.SetMaximum(list.Rows().CheckedCount());

  RemovalTally tally;
  std::vector<int> removed_rows;
  tally.finished = VisitCheckedRows(
      list,
      [&] {
        if (!services.events.ProcessPendingEvents()) return false;
        controls.标签_状态.SetCaption(running);
        return true;
      },
      [&](int row) {
        const std::string path = list.RowText(row);
        ++tally.taken;
        const std::optional<platform::FileIdentity> before = services.files.IdentityOf(path);
        if (!remove(row, path)) return true;
        // What counts is whether the item is gone, not what the removal said: a
        // row whose item survived stays, still ticked, for another try. Where
        // another item now answers to the path (a name that differed only by
        // letter case, on a system that takes both for one), the item is gone.
        const auto gone = [&] {
          if (services.files.KindOf(path) == platform::PathKind::Missing) return true;
          return before.has_value() && services.files.IdentityOf(path) != before;
        };
        if (gone()) {
          removed_rows.push_back(row);
        } else {
          ++tally.failed;
        }
        return true;
      });

  // All in one go: the list shows the rows that remain in one repaint.
  list.RemoveRows(removed_rows);
  progress.SetPosition(progress.Position() + tally.taken);
  return tally;
}

bool ConfirmCountedRemoval(ui::Controls& controls, ActionServices& services, const std::string& question_before_count,
                           const std::string& question_after_count, const std::string& caption) {
  const int checked = controls.超级列表框_结果.Rows().CheckedCount();
  if (checked == 0) {
    services.dialogs.ShowMessage("您没有选择任何文件！", "信息：", ui::MessageButtons::Ok, ui::MessageIcon::None);
    return false;
  }
  const std::string question = question_before_count + std::to_string(checked) + question_after_count;
  return services.dialogs.ShowMessage(question, caption, ui::MessageButtons::OkCancel, ui::MessageIcon::None) ==
         ui::MessageAnswer::Ok;
}

}  // namespace quellor::commands
