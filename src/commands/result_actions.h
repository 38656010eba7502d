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
void TransferChecked(ui::Controls& controls, ActionServices& services, TransferKind kind);
void DeleteChecked(ui::Controls& controls, ActionServices& services);
void WriteNotFoundReport(ui::Controls& controls, ActionServices& services);

}  // namespace quellor::commands
