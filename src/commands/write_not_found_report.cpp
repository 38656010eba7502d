// 按钮_未搜索到文件: the report of the keywords no row answers, written
// beside the program and opened.
#include "commands/not_found_report.h"
#include "commands/radio_groups.h"
#include "commands/result_actions.h"
#include "commands/stored_list.h"
#include "platform/file_io.h"
#include "platform/file_operations.h"
#include "platform/shell.h"
#include "search/search_run.h"
#include "text/path_scan.h"

namespace quellor::commands {

void WriteNotFoundReport(ui::Controls& controls, ActionServices& services) {
  const text::Charset& cs = services.charset;
  const char separator = services.files.Separator();

  // Views into the rows: nothing changes them while the report is built.
  std::vector<std::string_view> names;
  const search::ResultRows& rows = controls.超级列表框_结果.Rows();
  names.reserve(static_cast<std::size_t>(rows.Count()));
  for (int row = 0; row < rows.Count(); ++row) names.push_back(text::LastPathComponent(cs, rows.Path(row), separator));

  // The rules of the search as the controls select it now.
  search::RunSettings settings = search::PlatformRunSettings(cs);
  settings.fold_file_name = services.fold_file_name;
  const search::MatchRules rules =
      search::RulesOf(settings, controls.选择框_搜索目录.Checked() ? search::NameKind::Folders : search::NameKind::Files,
                      SelectedMatchMode(controls));

  const std::string report = BuildNotFoundReport(rules, controls.编辑框_文件名.Text(), names);
  const std::string path = services.program_folder + separator + kNotFoundReportName;
  if (!platform::WriteWholeFileReplacing(path, StoredTextBytes(report))) {
    // Opening the file now would show an older report as if it were this one.
    services.dialogs.ShowMessage(text::ShownText("无法写入未搜到文件列表：\r\n").AddName(path), "信息：",
                                 ui::MessageButtons::Ok, ui::MessageIcon::Error);
    return;
  }
  services.shell.Open(path, platform::ShellVerb::Default);
}

}  // namespace quellor::commands
