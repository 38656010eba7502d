// The commands that work on the result list and on the files it names.
#pragma once

#include <string>

#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/file_name_case.h"
#include "search/match_rules.h"
#include "text/charset.h"

namespace quellor::platform {
class FileOperations;  // platform/file_operations.h
class Shell;           // platform/shell.h
class Clipboard;       // platform/clipboard.h
}  // namespace quellor::platform

namespace quellor::actions {

enum class TransferKind { Copy, Move };

struct ActionServices {
  platform::Dialogs& dialogs;
  platform::EventPump& events;
  platform::FileOperations& files;
  platform::Shell& shell;
  platform::Clipboard& clipboard;
  const text::Charset& charset;
  std::string program_folder;
  // How file names are folded when the not-found report matches them: as the
  // file system folds them, unless a test says otherwise.
  search::NameFolding fold_file_name = &platform::FoldFileNameCase;
};

void CheckAllRows(platform::Controls& controls);
void UncheckAllRows(platform::Controls& controls);
void CheckSelectedRows(platform::Controls& controls);
void OpenCurrentRow(platform::Controls& controls, ActionServices& services);
void OpenContainingFolder(platform::Controls& controls, ActionServices& services);
void CopyCheckedToClipboard(platform::Controls& controls, ActionServices& services);
void TransferChecked(platform::Controls& controls, ActionServices& services, TransferKind kind);
void DeleteChecked(platform::Controls& controls, ActionServices& services);
void WriteNotFoundReport(platform::Controls& controls, ActionServices& services);

}  // namespace quellor::actions
