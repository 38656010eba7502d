// Taking back the last copy or move, the window's or quellor-find's way:
// from the journal beside the program, after one confirmation.
#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "commands/result_actions.h"
#include "files/transfer_journal.h"
#include "files/transfer_undo.h"
#include "platform/file_io.h"
#include "platform/file_operations.h"

namespace quellor::commands {

namespace {

const char* Words(files::UndoReason reason) {
  switch (reason) {
    case files::UndoReason::NotCompleted:
      return "复制或移动当时没有完成";
    case files::UndoReason::PlacedOverExisting:
      return "它替换或并入了原有的文件，原有的无法还原";
    case files::UndoReason::TargetChanged:
      return "目标处的文件已改变";
    case files::UndoReason::OldPlaceTaken:
      return "原位置已有同名项目";
    case files::UndoReason::OldFolderGone:
      return "原文件夹已不存在";
    case files::UndoReason::ActionFailed:
      return "系统拒绝了操作";
    case files::UndoReason::Undone:
    case files::UndoReason::Failed:
    case files::UndoReason::AlreadyUndone:
      break;
  }
  return "";
}

// The items of the batch that an undo would still act on or leave with a
// reason: neither failed when placed nor taken back before.
std::size_t ItemsToUndo(const files::JournalBatch& batch) {
  return static_cast<std::size_t>(std::count_if(batch.items.begin(), batch.items.end(), [](const auto& item) {
    return item.stage != files::JournalItem::Stage::Failed && !item.undone;
  }));
}

files::UndoReason MostCommonReason(const files::UndoResult& result) {
  std::array<std::size_t, files::kUndoReasons> counts{};
  for (const files::LeftItem& item : result.left) ++counts[static_cast<std::size_t>(item.reason)];
  return static_cast<files::UndoReason>(std::max_element(counts.begin(), counts.end()) - counts.begin());
}

}  // namespace

void UndoLastTransfer(ui::Controls& controls, ActionServices& services) {
  const std::string journal =
      services.program_folder.empty() ? std::string() : services.program_folder + services.files.Separator() +
                                                            kTransferJournalName;
  std::optional<files::JournalBatch> batch;
  if (!journal.empty()) {
    if (const std::optional<std::string> bytes = platform::ReadWholeFile(journal)) {
      batch = files::ParseJournal(*bytes).batch;
    }
  }
  const std::size_t items = batch ? ItemsToUndo(*batch) : 0;
  if (items == 0) {
    services.dialogs.ShowMessage("没有可以撤销的复制或移动。", "信息：", ui::MessageButtons::Ok,
                                 ui::MessageIcon::None);
    return;
  }
  const bool move = batch->kind == files::TransferCommand::Kind::Move;
  const std::string question = move ? "确定要撤销上次的移动吗？这批共 " + std::to_string(items) + " 项，将移回原处。"
                                    : "确定要撤销上次的复制吗？这批共 " + std::to_string(items) +
                                          " 项，复制出的文件将被删除。";
  if (services.dialogs.ShowMessage(question, "确定撤销吗？", ui::MessageButtons::OkCancel, ui::MessageIcon::None) !=
      ui::MessageAnswer::Ok) {
    return;
  }
  controls.标签_状态.SetCaption("正在撤销，请稍等...");
  const files::UndoResult result = files::UndoLastBatch(journal, services.files, services.charset);
  std::string text = "已撤销 " + std::to_string(result.Count(files::UndoReason::Undone)) + " 个";
  if (!result.left.empty()) {
    text += "；" + std::to_string(result.left.size()) + " 个未撤销（" + Words(MostCommonReason(result)) + "）";
  }
  // A later undo would find those taken back changed, and leave them.
  if (result.record_failed) text += "；撤销记录无法写入";
  controls.标签_状态.SetCaption(text);
}

}  // namespace quellor::commands
