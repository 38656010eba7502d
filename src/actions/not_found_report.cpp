// Which keywords no row answers, and the report file that lists them.
#include "actions/not_found_report.h"

#include "actions/result_actions.h"
#include "platform/file_io.h"
#include "platform/file_operations.h"
#include "platform/shell.h"
#include "search/keyword_matcher.h"
#include "search/search_run.h"
#include "text/line_split.h"
#include "text/path_scan.h"

namespace quellor::actions {

std::string BuildNotFoundReport(const search::MatchRules& rules, std::string_view keyword_text,
                                const std::vector<std::string_view>& names) {
  return BuildNotFoundReport(rules, text::SplitLines(*rules.charset, keyword_text), names);
}

std::string BuildNotFoundReport(const search::MatchRules& rules, const std::vector<std::string>& keywords,
                                const std::vector<std::string_view>& names) {
  const text::Charset& cs = *rules.charset;
  std::vector<bool> found(keywords.size(), false);

  std::vector<std::string> searched;
  std::vector<std::size_t> searched_index;
  for (std::size_t i = 0; i < keywords.size(); ++i) {
    if (text::IsBlankLine(cs, keywords[i])) {
      found[i] = !names.empty();
    } else {
      searched.push_back(keywords[i]);
      searched_index.push_back(i);
    }
  }
  if (!searched.empty()) {
    const search::KeywordMatcher matcher(std::move(searched), rules);
    std::size_t missing = searched_index.size();
    for (std::string_view name : names) {
      matcher.ForEachMatch(name, [&](std::size_t k) {
        if (!found[searched_index[k]]) --missing;
        found[searched_index[k]] = true;
      });
      if (missing == 0) break;  // every keyword is answered: the other names change nothing
    }
  }

  std::string report;
  for (std::size_t i = 0; i < keywords.size(); ++i) {
    if (found[i]) continue;
    report += keywords[i];
    report += "\r\n";
  }
  return report;
}

void WriteNotFoundReport(platform::Controls& controls, ActionServices& services) {
  const text::Charset& cs = services.charset;
  const char separator = services.files.Separator();

  // Views into the rows: nothing changes them while the report is built.
  std::vector<std::string_view> names;
  const platform::ResultRows& rows = controls.超级列表框_结果.Rows();
  names.reserve(static_cast<std::size_t>(rows.Count()));
  for (int row = 0; row < rows.Count(); ++row) names.push_back(text::LastPathComponent(cs, rows.Path(row), separator));

  // The rules of the search as the controls select it now.
  search::RunSettings settings = search::PlatformRunSettings(cs);
  settings.fold_file_name = services.fold_file_name;
  const search::MatchRules rules =
      search::RulesOf(settings, controls.选择框_搜索目录.Checked() ? search::NameKind::Folders : search::NameKind::Files,
                      controls.单选框_模糊搜索.Checked() ? search::MatchMode::Fuzzy : search::MatchMode::Exact);

  const std::string report = BuildNotFoundReport(rules, controls.编辑框_文件名.Text(), names);
  const std::string path = services.program_folder + separator + kNotFoundReportName;
  if (!platform::WriteWholeFileReplacing(path, report)) {
    // Opening the file now would show an older report as if it were this one.
    services.dialogs.ShowMessage("无法写入未搜到文件列表：\r\n" + path, "信息：", platform::MessageButtons::Ok,
                                 platform::MessageIcon::Error);
    return;
  }
  services.shell.Open(path, platform::ShellVerb::Default);
}

}  // namespace quellor::actions
