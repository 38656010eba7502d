#include "app/action_host.h"

#include "platform/file_name_case.h"
#include "platform/system_charset.h"

namespace quellor::app {

ActionHost::ActionHost(ui::Dialogs& dialogs, ui::EventPump& events, const std::string& program_folder,
                       platform::Shell* shell)
    : files_(platform::MakeSystemFileOperations()),
      own_shell_(shell == nullptr ? platform::MakeSystemShell() : nullptr),
      clipboard_(platform::MakeSystemClipboard()),
      // The not-found report folds file names as the file system does.
      services_{dialogs,
                events,
                *files_,
                shell == nullptr ? *own_shell_ : *shell,
                *clipboard_,
                platform::NameCharset(),
                program_folder,
                &platform::FoldFileNameCase} {}

}  // namespace quellor::app
