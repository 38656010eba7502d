#include "app/command_table.h"

#include "app/control_ids.h"
#include "commands/search_paths.h"
#include "platform/system_charset.h"

namespace quellor::app {

namespace {

using Tools = CommandTools;
constexpr CommandKind kAnytime = CommandKind::Anytime;
constexpr CommandKind kResultAction = CommandKind::ResultAction;

void Transfer(Tools& t, commands::TransferKind kind) { commands::TransferChecked(t.controls, t.services, kind); }

constexpr WindowCommand kCommands[] = {
    {ids::按钮_立即搜索, CommandKind::AfterResultActions, [](Tools& t) { t.search.Start(); }},
    {ids::按钮_停止搜索, kAnytime, [](Tools& t) { t.search.Stop(); }},
    {ids::按钮_搜索路径, kAnytime,
     [](Tools& t) { commands::AddSearchPath(t.controls, t.dialogs, platform::NameCharset()); }},
    {ids::选择框_搜索目录, kAnytime, [](Tools& t) { commands::StoreFolderNamesOnly(t.controls, t.location); }},
    {ids::选择框_保存关键字, kAnytime, [](Tools& t) { commands::StoreSaveKeywords(t.controls, t.location); }},
    {ids::选择框_同名自动改名, kAnytime, [](Tools& t) { commands::StoreRenameOnClash(t.controls, t.location); }},
    {ids::单选框_整个电脑, kAnytime, [](Tools& t) { commands::SelectWholeComputer(t.controls, t.location); }},
    {ids::单选框_指定路径, kAnytime, [](Tools& t) { commands::SelectChosenFolders(t.controls, t.location); }},
    {ids::单选框_精确搜索, kAnytime,
     [](Tools& t) {
       commands::StoreExactMatching(t.location);
       t.search.MatchModeChanged();
     }},
    {ids::单选框_模糊搜索, kAnytime,
     [](Tools& t) {
       commands::StoreFuzzyMatching(t.location);
       t.search.MatchModeChanged();
     }},
    {ids::路径菜单_删除当前路径, kAnytime, [](Tools& t) { commands::DeleteCurrentPath(t.controls); }},
    {ids::路径菜单_删除全部路径, kAnytime, [](Tools& t) { commands::DeleteAllPaths(t.controls); }},
    {ids::按钮_全部勾选, kResultAction, [](Tools& t) { commands::CheckAllRows(t.controls); }},
    {ids::按钮_取消全部勾选, kResultAction, [](Tools& t) { commands::UncheckAllRows(t.controls); }},
    {ids::结果菜单_批量勾选选定项目, kResultAction, [](Tools& t) { commands::CheckSelectedRows(t.controls); }},
    {ids::超级列表框_结果, kResultAction, [](Tools& t) { commands::OpenCurrentRow(t.controls, t.services); }},
    {ids::结果菜单_打开文件所在位置, kResultAction,
     [](Tools& t) { commands::OpenContainingFolder(t.controls, t.services); }},
    {ids::按钮_复制到剪贴板, kResultAction,
     [](Tools& t) { commands::CopyCheckedToClipboard(t.controls, t.services); }},
    {ids::结果键_复制选定路径, kResultAction,
     [](Tools& t) { commands::CopySelectedPathsAsText(t.controls, t.services); }},
    {ids::按钮_复制选定文件, kResultAction, [](Tools& t) { Transfer(t, commands::TransferKind::Copy); }},
    {ids::按钮_移动选定文件, kResultAction, [](Tools& t) { Transfer(t, commands::TransferKind::Move); }},
    {ids::按钮_删除选定文件, kResultAction, [](Tools& t) { commands::DeleteChecked(t.controls, t.services); }},
    {ids::结果列标题_排序, kResultAction,
     [](Tools& t) { commands::SortRowsByHeader(t.controls, t.services, !t.search.Finished()); }},
    {ids::结果菜单_导出结果列表, kResultAction,
     [](Tools& t) { commands::ExportResultList(t.controls, t.services, !t.search.Finished()); }},
    {ids::结果键_永久删除, kResultAction,
     [](Tools& t) { commands::DeleteCheckedAfterCountedQuestion(t.controls, t.services); }},
    {ids::结果菜单_删除到回收站, kResultAction, [](Tools& t) { commands::RecycleChecked(t.controls, t.services); }},
    {ids::结果菜单_撤销上次复制移动, kResultAction,
     [](Tools& t) { commands::UndoLastTransfer(t.controls, t.services); }},
    {ids::按钮_未搜索到文件, kResultAction,
     [](Tools& t) { commands::WriteNotFoundReport(t.controls, t.services); }},
};

}  // namespace

const WindowCommand* FindWindowCommand(int id) {
  for (const WindowCommand& command : kCommands) {
    if (command.id == id) return &command;
  }
  return nullptr;
}

}  // namespace quellor::app
