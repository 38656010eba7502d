#include "commands/settings.h"

#include <optional>

#include "commands/radio_groups.h"
#include "commands/stored_list.h"
#include "platform/file_io.h"
#include "platform/ini.h"
#include "text/line_split.h"

namespace quellor::commands {

std::string SettingsLocation::FilePath(std::string_view name) const {
  std::string path = program_folder;
  path += separator;
  path += name;
  return path;
}

std::string ReadOption(const SettingsLocation& where, std::string_view key) {
  return platform::ReadIniValue(where.FilePath(kConfigFile), kConfigSection, key);
}

namespace {

bool OptionIsTrue(const SettingsLocation& where, std::string_view key) { return ReadOption(where, key) == kTrue; }

// The text of a stored list file, in the name encoding, up to its first NUL;
// empty when it is missing.
std::string ReadListFile(const SettingsLocation& where, std::string_view name) {
  const std::optional<std::string> bytes = platform::ReadWholeFile(where.FilePath(name));
  if (!bytes) return {};
  return std::string(text::TextBeforeNul(ReadStoredText(*bytes)));
}

void WriteListFile(const SettingsLocation& where, std::string_view name, std::string_view text) {
  platform::WriteWholeFileReplacing(where.FilePath(name), StoredTextBytes(text));
}

}  // namespace

void LoadSettings(ui::Controls& controls, const SettingsLocation& where) {
  const bool whole_computer = OptionIsTrue(where, kKeyWholeComputer);
  SelectSearchArea(controls, whole_computer ? SearchArea::WholeComputer : SearchArea::ChosenFolders);
  controls.按钮_搜索路径.SetEnabled(!whole_computer);

  // The one key tested against "假": anything else means exact matching.
  const bool fuzzy = ReadOption(where, kKeyExact) == kFalse;
  SelectMatchMode(controls, fuzzy ? search::MatchMode::Fuzzy : search::MatchMode::Exact);

  controls.选择框_同名自动改名.SetChecked(OptionIsTrue(where, kKeyRenameOnClash));
  controls.选择框_搜索目录.SetChecked(OptionIsTrue(where, kKeyFolderNamesOnly));

  if (OptionIsTrue(where, kKeySaveKeywords)) {
    controls.编辑框_文件名.SetText(ReadListFile(where, kKeywordFile));
    controls.透明标签_提示.SetVisible(false);
    controls.选择框_保存关键字.SetChecked(true);
  } else {
    controls.选择框_保存关键字.SetChecked(false);
  }

  for (const std::string& entry : text::SplitLines(*where.charset, ReadListFile(where, kPathFile))) {
    controls.列表框_路径.Append(entry);
  }
}

void SaveLists(ui::Controls& controls, const SettingsLocation& where) {
  std::vector<std::string> entries;
  const int count = controls.列表框_路径.Count();
  entries.reserve(count > 0 ? static_cast<std::size_t>(count) : 0);
  for (int i = 0; i < count; ++i) entries.push_back(controls.列表框_路径.Text(i));
  WriteListFile(where, kPathFile, text::JoinLinesWithBreaks(entries));

  if (controls.选择框_保存关键字.Checked()) WriteListFile(where, kKeywordFile, controls.编辑框_文件名.Text());
}

void WriteOption(const SettingsLocation& where, std::string_view key, std::string_view value) {
  platform::WriteIniValue(where.FilePath(kConfigFile), kConfigSection, key, value);
}

void StoreExactMatching(const SettingsLocation& where) { WriteOption(where, kKeyExact, kTrue); }

void StoreFuzzyMatching(const SettingsLocation& where) { WriteOption(where, kKeyExact, kFalse); }

void StoreRenameOnClash(ui::Controls& controls, const SettingsLocation& where) {
  WriteOption(where, kKeyRenameOnClash, TruthText(controls.选择框_同名自动改名.Checked()));
}

void StoreFolderNamesOnly(ui::Controls& controls, const SettingsLocation& where) {
  WriteOption(where, kKeyFolderNamesOnly, TruthText(controls.选择框_搜索目录.Checked()));
}

void StoreSaveKeywords(ui::Controls& controls, const SettingsLocation& where) {
  WriteOption(where, kKeySaveKeywords, TruthText(controls.选择框_保存关键字.Checked()));
}

}  // namespace quellor::commands
