// Copying or moving the ticked rows' items into a folder the user picks.
#include <functional>
#include <memory>
#include <string>

#include "commands/checked_rows.h"
#include "commands/result_actions.h"
#include "files/file_transfer.h"
#include "files/transfer_journal.h"
#include "text/path_scan.h"

namespace quellor::commands {

namespace {

struct KindTexts {
  files::TransferCommand::Kind operation;
  const char* running;
  const char* done;
  const char* nothing_checked;
  const char* verb;
};

KindTexts TextsFor(TransferKind kind) {
  if (kind == TransferKind::Copy) {
    return {files::TransferCommand::Kind::Copy, "正在复制，请稍等...", "复制完毕！", "您没有选择要复制的文件！", "复制"};
  }
  return {files::TransferCommand::Kind::Move, "正在移动，请稍等...", "移动完毕！", "您没有选择要移动的文件！", "移动"};
}

}  // namespace

void TransferChecked(ui::Controls& controls, ActionServices& services, TransferKind kind) {
  const KindTexts texts = TextsFor(kind);
  const std::string chosen = services.dialogs.ChooseFolder("请选择", ui::FolderChooserStyle::TargetFolder);
  if (chosen.empty()) return;
  const char separator = services.files.Separator();
  // A drive root comes back as "D:\"; it takes no second separator.
  const std::string folder =
      text::EndsWithSeparator(services.charset, chosen, separator) ? chosen : chosen + separator;

  ui::ListView& list = controls.超级列表框_结果;
  controls.进度条_文件操作.SetPosition(0);
  controls.进度条_文件操作.SetMaximum(list.Rows().CheckedCount());

  // Neither a copy nor a move overwrites what the same run has just placed.
  // The items are looked up only when a target exists or a folder moves; on
  // a share each costs a round trip, so the window handles its events
  // between them.
  files::TransferCommand command(
      services.files, services.charset, texts.operation, folder,
      [&](const std::function<void(const std::string&)>& each) {
        return VisitCheckedRows(
            list, [&] { return services.events.ProcessPendingEvents(); },
            [&](int row) {
              each(list.RowText(row));
              return true;
            });
      });

  // Each item is written to the journal before and after it is placed, so
  // the batch can be taken back, after a restart too. Where the journal
  // cannot be written the batch still runs: the user asked for it. With
  // nothing ticked the last batch's journal is kept.
  std::unique_ptr<files::JournalRecorder> journal;
  if (!services.program_folder.empty() && list.Rows().CheckedCount() > 0) {
    journal = files::JournalRecorder::Start(services.program_folder + separator + kTransferJournalName,
                                            texts.operation, services.files);
  }
  command.RecordIn(journal.get());

  int taken = 0;
  int failed = 0;
  const bool finished = VisitCheckedRows(
      list,
      [&] {
        controls.标签_状态.SetCaption(texts.running);
        return services.events.ProcessPendingEvents();
      },
      [&](int row) {
        const bool rename_on_clash = controls.选择框_同名自动改名.Checked();
        const files::TransferResult result = command.Transfer(list.RowText(row), list.RowKind(row), rename_on_clash);
        if (result.outcome == files::TransferOutcome::Stopped) return false;
        if (!result.Done()) ++failed;
        ++taken;
        controls.进度条_文件操作.SetPosition(controls.进度条_文件操作.Position() + 1);
        return true;
      });
  // Closed before the first item: nothing to tell.
  if (!finished && taken == 0) return;
  if (taken == 0) {
    controls.标签_状态.SetCaption(texts.nothing_checked);
    return;
  }
  std::string end = EndText(texts.done, texts.verb, failed);
  if (!journal) {
    end += "无法写入撤销记录，这批不能撤销。";
  } else if (!journal->Intact()) {
    end += "撤销记录未能写完，这批不能全部撤销。";
  }
  controls.标签_状态.SetCaption(end);
}

}  // namespace quellor::commands
