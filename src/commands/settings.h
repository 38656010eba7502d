// The five stored options (config.ini, section "zhuce") and the two stored
// lists (filemame.txt: the keyword box; path.txt: the search folders), kept
// beside the program. The lists are in code page 936 as always unless they
// hold a character it cannot write (commands/stored_list.h). No failure of these
// files ever reaches the user.
#pragma once

#include <string>
#include <string_view>

#include "text/charset.h"
#include "ui/controls.h"

namespace quellor::commands {

// Where the stored files live and how their texts are read.
struct SettingsLocation {
  std::string program_folder;  // in the name encoding
  const text::Charset* charset;  // of names
  char separator;

  std::string FilePath(std::string_view name) const;
};

inline constexpr std::string_view kConfigFile = "config.ini";
// Spelt so since the first version: renaming it would lose every user's saved names.
inline constexpr std::string_view kKeywordFile = "filemame.txt";
inline constexpr std::string_view kPathFile = "path.txt";
// The section's name ("注册" in pinyin) is what every existing config.ini holds.
inline constexpr std::string_view kConfigSection = "zhuce";

inline constexpr std::string_view kKeyWholeComputer = "全盘搜索";
inline constexpr std::string_view kKeyExact = "精确";
inline constexpr std::string_view kKeyRenameOnClash = "同名文件自动更名";
inline constexpr std::string_view kKeyFolderNamesOnly = "是否只搜索目录名";
inline constexpr std::string_view kKeySaveKeywords = "保存关键字";
// The user's answer to reading the disks' indexes with an administrator's
// rights in a whole-computer search: 真, 假, or missing (not asked yet).
inline constexpr std::string_view kKeyReadIndexAsAdministrator = "管理员读取磁盘索引";

inline constexpr std::string_view kTrue = "真";
inline constexpr std::string_view kFalse = "假";

inline std::string_view TruthText(bool value) { return value ? kTrue : kFalse; }

// Puts the stored options, the keyword text (when asked for) and the search
// folders into the controls. Setting a control here is not a click: nothing is
// written back.
void LoadSettings(ui::Controls& controls, const SettingsLocation& where);

// At close: path.txt always, filemame.txt only while 选择框_保存关键字 is ticked.
void SaveLists(ui::Controls& controls, const SettingsLocation& where);

// One key of section "zhuce": its value, empty when missing.
std::string ReadOption(const SettingsLocation& where, std::string_view key);

// One key of section "zhuce"; the result is not looked at.
void WriteOption(const SettingsLocation& where, std::string_view key, std::string_view value);

// Click handlers of the option controls. The radio pair of the search area is
// handled by SelectWholeComputer / SelectChosenFolders (commands/search_paths.h).
void StoreExactMatching(const SettingsLocation& where);                            // 单选框_精确搜索
void StoreFuzzyMatching(const SettingsLocation& where);                            // 单选框_模糊搜索
void StoreRenameOnClash(ui::Controls& controls, const SettingsLocation& where);  // 选择框_同名自动改名
void StoreFolderNamesOnly(ui::Controls& controls, const SettingsLocation& where);  // 选择框_搜索目录
void StoreSaveKeywords(ui::Controls& controls, const SettingsLocation& where);  // 选择框_保存关键字

}  // namespace quellor::commands
