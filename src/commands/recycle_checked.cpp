// Moving the ticked rows' items to the recycle bin, after one confirmation.
// An item the bin cannot take is left where it is, never deleted for good in
// its place: its row stays ticked and the status line says why.
#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "commands/checked_rows.h"
#include "commands/removing_rows.h"
#include "commands/result_actions.h"
#include "platform/file_operations.h"
#include "platform/shell.h"

namespace quellor::commands {

namespace {

// Why an item was left before the shell was asked.
enum class LeftReason : std::size_t { NetworkDrive, NoBin, NameNotTaken, Changed, NotPlain, kCount };

const char* Words(LeftReason reason) {
  switch (reason) {
    case LeftReason::NetworkDrive:
      return "网络驱动器没有回收站";
    case LeftReason::NoBin:
      return "所在驱动器没有回收站";
    case LeftReason::NameNotTaken:
      return "路径过长或名称无法交给回收站";
    case LeftReason::Changed:
      return "已不是搜索到的文件";
    case LeftReason::NotPlain:
      return "链接或特殊文件不移到回收站";
    case LeftReason::kCount:
      break;
  }
  return "";
}

LeftReason ReasonOf(platform::RecycleOutcome outcome) {
  switch (outcome) {
    case platform::RecycleOutcome::NetworkDrive:
      return LeftReason::NetworkDrive;
    case platform::RecycleOutcome::NameNotTaken:
      return LeftReason::NameNotTaken;
    case platform::RecycleOutcome::NoBin:
    case platform::RecycleOutcome::Handed:
      break;
  }
  return LeftReason::NoBin;
}

// Whether the item at `path`, of kind `now`, may be handed to the shell, or
// else why not. A link is never handed over: some systems' shells delete
// what a junction leads to.
std::optional<LeftReason> Refusal(platform::PathKind now, platform::PathKind found) {
  if (found != platform::PathKind::Unknown && now != found) return LeftReason::Changed;
  if (now != platform::PathKind::File && now != platform::PathKind::Folder) return LeftReason::NotPlain;
  return std::nullopt;
}

}  // namespace

void RecycleChecked(ui::Controls& controls, ActionServices& services) {
  if (!ConfirmCountedRemoval(controls, services, "确定要把勾选的 ", " 个文件移到回收站吗？", "确定移到回收站吗？")) {
    return;
  }
  std::array<int, static_cast<std::size_t>(LeftReason::kCount)> left{};
  const RemovalTally tally =
      RemoveCheckedItems(controls, services, "正在移到回收站，请稍等...", [&](int row, const std::string& path) {
        const platform::PathKind now = services.files.KindOf(path);
        // Gone already, its row goes, as the delete's does; one that cannot
        // be looked up counts as failed, as there.
        if (now == platform::PathKind::Missing || now == platform::PathKind::Unknown) return true;
        std::optional<LeftReason> reason = Refusal(now, controls.超级列表框_结果.RowKind(row));
        if (!reason) {
          const platform::RecycleOutcome outcome = services.shell.MoveToRecycleBin(path);
          if (outcome == platform::RecycleOutcome::Handed) return true;
          reason = ReasonOf(outcome);
        }
        ++left[static_cast<std::size_t>(*reason)];
        return false;
      });
  if (tally.taken == 0) return;  // the window closed before the first row

  std::string text = EndText("移到回收站完毕！", "移到回收站", tally.failed);
  for (std::size_t i = 0; i < left.size(); ++i) {
    if (left[i] == 0) continue;
    text += std::to_string(left[i]) + " 个文件无法移到回收站（" + Words(static_cast<LeftReason>(i)) + "）。";
  }
  controls.标签_状态.SetCaption(text);
}

}  // namespace quellor::commands
