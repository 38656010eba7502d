#include "commands/search_commands.h"

#include <optional>
#include <string_view>

#include "commands/search_status_text.h"
#include "platform/tick_count.h"
#include "text/line_split.h"

namespace quellor::commands {

namespace {
// 按钮_停止搜索 shows a stop was asked for until the next search.
constexpr std::string_view kStopButtonCaption = "停止搜索";
constexpr std::string_view kStopRequestedCaption = "已停止";
// Reading the disks' indexes through the helper costs one system prompt:
// the user chooses once, and the choice is kept.
void AskAboutVolumeIndexes(const std::vector<std::string>& roots, SearchServices& services) {
  search::WholeComputerIndexes& indexes = *services.volume_indexes;
  if (!indexes.NeedsAnswer(roots)) return;
  if (services.settings) {
    const std::string stored = ReadOption(*services.settings, kKeyReadIndexAsAdministrator);
    if (stored == kTrue || stored == kFalse) {
      indexes.SetAnswer(stored == kTrue);
      return;
    }
  }
  const bool allowed =
      services.dialogs.ShowMessage(
          "搜索整个电脑时，可以用管理员权限直接读取磁盘的文件索引，几秒钟即可搜索完毕"
          "（Windows 会请您确认一次）。\r\n\r\n点“确定”读取磁盘索引；点“取消”逐个文件夹搜索。",
          "信息：", ui::MessageButtons::OkCancel, ui::MessageIcon::None) == ui::MessageAnswer::Ok;
  indexes.SetAnswer(allowed);
  if (services.settings) WriteOption(*services.settings, kKeyReadIndexAsAdministrator, TruthText(allowed));
}

}  // namespace

void StartSearch(ui::Controls& c, search::SearchEngine& engine, SearchServices& services) {
  const text::Charset& cs = services.charset;
  const SearchArea area = SelectedSearchArea(c);
  if (area == SearchArea::ChosenFolders && c.列表框_路径.Count() == 0) {
    services.dialogs.ShowMessage("您选择的是按指定路径搜索，请指定搜索路径后再搜索！", "信息：",
                                 ui::MessageButtons::Ok, ui::MessageIcon::None);
    return;
  }
  c.按钮_停止搜索.SetCaption(kStopButtonCaption);
  // The box is written back only when the clean-up changes its text: a list
  // whose last line lacks its break gets the break appended, any other change
  // replaces the whole text in one go; either leaves the caret at the end.
  // Cutting the list into keywords is left to the run's thread.
  std::string names = c.编辑框_文件名.Text();
  if (std::optional<std::string> cleaned = text::WithoutBlankLines(cs, names)) {
    const bool only_break_added = cleaned->size() > names.size() && cleaned->starts_with(names);
    if (only_break_added) {
      c.编辑框_文件名.Append(std::string_view(*cleaned).substr(names.size()));
    } else {
      c.编辑框_文件名.SetText("");
      if (!cleaned->empty()) c.编辑框_文件名.Append(*cleaned);
    }
    names = std::move(*cleaned);
  }
  if (names.empty()) {
    services.dialogs.ShowMessage("您没有输入任何要搜索的文件名！请输入后再执行搜索！", "信息：",
                                 ui::MessageButtons::Ok, ui::MessageIcon::None);
    return;
  }
  search::RunRequest request;
  request.keyword_lines = std::move(names);
  c.超级列表框_结果.DeleteAllRows();
  c.超级列表框_结果.SetHeaderOrder(search::RowOrder::Found);
  if (area == SearchArea::WholeComputer) {
    if (services.whole_computer_roots) request.roots = services.whole_computer_roots();
    if (services.volume_indexes) {
      AskAboutVolumeIndexes(request.roots, services);
      request.index_source = services.volume_indexes;
    }
  } else {
    for (int i = 0; i < c.列表框_路径.Count(); ++i) request.roots.push_back(c.列表框_路径.Text(i));
  }
  request.kind = c.选择框_搜索目录.Checked() ? search::NameKind::Folders : search::NameKind::Files;
  engine.SetMatchMode(SelectedMatchMode(c));
  engine.Start(std::move(request), search::PlatformRunSettings(cs));
  c.按钮_未搜索到文件.SetEnabled(true);
}

void StopSearch(ui::Controls& controls, search::SearchEngine& engine) {
  controls.按钮_停止搜索.SetCaption(kStopRequestedCaption);
  engine.RequestStop();
}

void ResultListDisplay::ShowStatus(const search::RunStatus& status) {
  controls_.标签_状态.SetCaption(SearchStatusText(status, platform::TickCount()));
}

}  // namespace quellor::commands
