// The commands that work on the result list and on the files it names.
#pragma once

#include <string>

#include "platform/file_name_case.h"
#include "search/match_rules.h"
#include "text/charset.h"
#include "ui/controls.h"
#include "ui/dialogs.h"

namespace quellor::platform {
class FileOperations;  // platform/file_operations.h
class Shell;           // platform/shell.h
class Clipboard;       // platform/clipboard.h
}  // namespace quellor::platform

namespace quellor::commands {

enum class TransferKind { Copy, Move };

// 撤销记录.dat, beside the program: the journal of the last copy or move,
// from which it can be taken back. A file's name, so in UTF-8 as every name
// inside the program, whatever the charset of the build's own texts.
inline constexpr const char* kTransferJournalName = "\xE6\x92\xA4\xE9\x94\x80\xE8\xAE\xB0\xE5\xBD\x95.dat";

struct ActionServices {
  ui::Dialogs& dialogs;
  ui::EventPump& events;
  platform::FileOperations& files;
  platform::Shell& shell;
  platform::Clipboard& clipboard;
  const text::Charset& charset;  // of names
  std::string program_folder;     // in the name encoding
  // How file names are folded when the not-found report matches them: as the
  // file system folds them, unless a test says otherwise.
  search::NameFolding fold_file_name = &platform::FoldFileNameCase;
};

void CheckAllRows(ui::Controls& controls);
void UncheckAllRows(ui::Controls& controls);
void CheckSelectedRows(ui::Controls& controls);
void OpenCurrentRow(ui::Controls& controls, ActionServices& services);
void OpenContainingFolder(ui::Controls& controls, ActionServices& services);
void CopyCheckedToClipboard(ui::Controls& controls, ActionServices& services);
// The selected rows' paths, one a line, as text (the result list's Ctrl+C).
void CopySelectedPathsAsText(ui::Controls& controls, ActionServices& services);
void TransferChecked(ui::Controls& controls, ActionServices& services, TransferKind kind);
// The button 删除选定文件: permanently, after the window's long-standing question.
void DeleteChecked(ui::Controls& controls, ActionServices& services);
// Shift+Delete in the result list: the same delete, after a question naming the count.
void DeleteCheckedAfterCountedQuestion(ui::Controls& controls, ActionServices& services);
// Delete in the result list and the menu's 删除到回收站.
void RecycleChecked(ui::Controls& controls, ActionServices& services);
// The menu's 撤销上次复制/移动: the journal's last batch taken back.
void UndoLastTransfer(ui::Controls& controls, ActionServices& services);
void WriteNotFoundReport(ui::Controls& controls, ActionServices& services);
// A click on the result list's column header: by path, the other way, the
// order found, in turn; while a search runs the header waits for its end.
void SortRowsByHeader(ui::Controls& controls, ActionServices& services, bool search_running);
// The menu's 导出结果列表… and Ctrl+S in the result list: every row, in the
// list's order, to the file the save dialog names, as a table (CSV) or one
// path a line; while a search runs (its rows still coming) it waits for the end.
void ExportResultList(ui::Controls& controls, ActionServices& services, bool search_running);

}  // namespace quellor::commands
