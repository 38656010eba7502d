#include "app/window_actions.h"

#include "actions/result_actions.h"
#include "app/control_ids.h"
#include "platform/clipboard.h"
#include "platform/file_name_case.h"
#include "platform/file_operations.h"
#include "platform/shell.h"
#include "platform/system_charset.h"

namespace quellor::app {

namespace {

class ResultActions : public WindowActions {
 public:
  ResultActions(platform::Controls& controls, platform::Dialogs& dialogs, platform::EventPump& events,
                const std::string& program_folder, platform::Shell* shell)
      : controls_(controls),
        files_(platform::MakeSystemFileOperations()),
        own_shell_(shell == nullptr ? platform::MakeSystemShell() : nullptr),
        clipboard_(platform::MakeSystemClipboard()),
        // The not-found report folds file names as the file system does.
        services_{dialogs, events, *files_, shell == nullptr ? *own_shell_ : *shell, *clipboard_,
                  platform::SystemCharset(), program_folder, &platform::FoldFileNameCase} {}

  void Run(int command) override {
    switch (command) {
      case ids::按钮1:
        actions::CheckAllRows(controls_);
        break;
      case ids::按钮2:
        actions::UncheckAllRows(controls_);
        break;
      case ids::定位_批量勾选选定项目:
        actions::CheckSelectedRows(controls_);
        break;
      case ids::超级列表框1:
        actions::OpenCurrentRow(controls_, services_);
        break;
      case ids::定位_打开文件所在位置:
        actions::OpenContainingFolder(controls_, services_);
        break;
      case ids::按钮_复制到剪贴板:
        actions::CopyCheckedToClipboard(controls_, services_);
        break;
      case ids::按钮3:
        actions::TransferChecked(controls_, services_, actions::TransferKind::Copy);
        break;
      case ids::按钮5:
        actions::TransferChecked(controls_, services_, actions::TransferKind::Move);
        break;
      case ids::按钮4:
        actions::DeleteChecked(controls_, services_);
        break;
      case ids::按钮_未搜索到文件:
        actions::WriteNotFoundReport(controls_, services_);
        break;
      default:
        break;
    }
  }

 private:
  platform::Controls& controls_;
  std::unique_ptr<platform::FileOperations> files_;
  std::unique_ptr<platform::Shell> own_shell_;
  std::unique_ptr<platform::Clipboard> clipboard_;
  actions::ActionServices services_;
};

}  // namespace

std::unique_ptr<WindowActions> MakeWindowActions(platform::Controls& controls, platform::Dialogs& dialogs,
                                                 platform::EventPump& events, const std::string& program_folder,
                                                 platform::Shell* shell) {
  return std::make_unique<ResultActions>(controls, dialogs, events, program_folder, shell);
}

}  // namespace quellor::app
