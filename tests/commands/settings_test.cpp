#include "commands/settings.h"

#include <gtest/gtest.h>

#include "commands/program_folder.h"
#include "commands/stored_list.h"
#include "platform/ini.h"
#include "platform/text_encoding.h"
#include "support/foreign_names.h"
#include "support/memory_controls.h"
#include "support/temp_program_folder.h"
#include "text/charset.h"

namespace quellor::commands {
namespace {

using testing::TempProgramFolder;

class SettingsTest : public ::testing::Test {
 protected:
  void Config(std::string_view body) { folder.Write(kConfigFile, std::string("[zhuce]\r\n") + std::string(body)); }
  std::string Option(std::string_view key) {
    return platform::ReadIniValue(folder.location().FilePath(kConfigFile), kConfigSection, key);
  }
  void Load() { LoadSettings(memory.controls(), folder.location()); }

  TempProgramFolder folder;
  testing::MemoryControls memory;
};

TEST_F(SettingsTest, FirstRunGivesTheControlTablesStartStatesWithSaveKeywordsOffAndWritesNothing) {
  Load();
  EXPECT_FALSE(memory.单选框_整个电脑.Checked());
  EXPECT_TRUE(memory.单选框_指定路径.Checked());
  EXPECT_TRUE(memory.按钮_搜索路径.Enabled());
  EXPECT_TRUE(memory.单选框_精确搜索.Checked());
  EXPECT_FALSE(memory.单选框_模糊搜索.Checked());
  EXPECT_FALSE(memory.选择框_同名自动改名.Checked());
  EXPECT_FALSE(memory.选择框_搜索目录.Checked());
  EXPECT_FALSE(memory.选择框_保存关键字.Checked());
  EXPECT_EQ(memory.编辑框_文件名.Text(), "");
  EXPECT_TRUE(memory.透明标签_提示.Visible());
  EXPECT_EQ(memory.列表框_路径.Count(), 0);
  EXPECT_FALSE(folder.Exists(kConfigFile));
  EXPECT_FALSE(folder.Exists(kPathFile));
}

TEST_F(SettingsTest, AllTrueValuesSetEveryControlAndRestoreTheKeywords) {
  Config("全盘搜索=真\r\n精确=假\r\n同名文件自动更名=真\r\n是否只搜索目录名=真\r\n保存关键字=真\r\n");
  folder.Write(kKeywordFile, "a\r\nb");
  memory.选择框_保存关键字.SetChecked(false);
  Load();
  EXPECT_TRUE(memory.单选框_整个电脑.Checked());
  EXPECT_FALSE(memory.单选框_指定路径.Checked());
  EXPECT_FALSE(memory.按钮_搜索路径.Enabled());
  EXPECT_TRUE(memory.单选框_模糊搜索.Checked());
  EXPECT_FALSE(memory.单选框_精确搜索.Checked());
  EXPECT_TRUE(memory.选择框_同名自动改名.Checked());
  EXPECT_TRUE(memory.选择框_搜索目录.Checked());
  EXPECT_TRUE(memory.选择框_保存关键字.Checked());
  EXPECT_EQ(memory.编辑框_文件名.Text(), "a\r\nb");
  EXPECT_FALSE(memory.透明标签_提示.Visible());
}

TEST_F(SettingsTest, OnlyTheExactTextTrueCountsAndOnlyFalseSelectsFuzzy) {
  for (const char* odd : {"1", "true", "", "真真", "是"}) {
    SCOPED_TRACE(odd);
    testing::MemoryControls fresh;
    Config(std::string("全盘搜索=") + odd + "\r\n精确=" + odd + "\r\n同名文件自动更名=" + odd + "\r\n保存关键字=" + odd +
           "\r\n");
    LoadSettings(fresh.controls(), folder.location());
    EXPECT_TRUE(fresh.单选框_指定路径.Checked());
    EXPECT_FALSE(fresh.单选框_整个电脑.Checked());
    EXPECT_TRUE(fresh.按钮_搜索路径.Enabled());
    EXPECT_TRUE(fresh.单选框_精确搜索.Checked()) << "anything but 假 is exact";
    EXPECT_FALSE(fresh.选择框_同名自动改名.Checked());
    EXPECT_FALSE(fresh.选择框_保存关键字.Checked());
    EXPECT_TRUE(fresh.透明标签_提示.Visible());
  }
  // A disabled search-folder button from an earlier state is enabled again.
  Config("精确=真\r\n");
  memory.按钮_搜索路径.SetEnabled(false);
  memory.单选框_精确搜索.SetChecked(false);
  memory.单选框_模糊搜索.SetChecked(true);
  Load();
  EXPECT_TRUE(memory.按钮_搜索路径.Enabled());
  EXPECT_TRUE(memory.单选框_精确搜索.Checked());
  EXPECT_FALSE(memory.单选框_模糊搜索.Checked());
}

TEST_F(SettingsTest, SaveKeywordsOnWithoutAFileEmptiesTheBoxAndHidesTheHint) {
  Config("保存关键字=真\r\n");
  memory.编辑框_文件名.SetText("left over");
  Load();
  EXPECT_EQ(memory.编辑框_文件名.Text(), "");
  EXPECT_FALSE(memory.透明标签_提示.Visible());
  EXPECT_TRUE(memory.选择框_保存关键字.Checked());
}

TEST_F(SettingsTest, PathFileEntriesKeepEmptyLinesDuplicatesAndAMissingFinalBreak) {
  folder.Write(kPathFile, "C:\\a\r\n\r\nC:\\a\r\nD:\\\xD6\\\r\nlast");
  Load();
  // A GBK character whose trail byte is a backslash: in the name encoding in the box.
  EXPECT_EQ(memory.列表框_路径.Entries(),
            (std::vector<std::string>{"C:\\a", "", "C:\\a", ReadStoredText("D:\\\xD6\\"), "last"}));
  SaveLists(memory.controls(), folder.location());
  EXPECT_EQ(folder.Read(kPathFile), "C:\\a\r\n\r\nC:\\a\r\nD:\\\xD6\\\r\nlast\r\n");
}

TEST_F(SettingsTest, ListFilesAreReadOnlyUpToTheirFirstNul) {
  Config("保存关键字=真\r\n");
  folder.Write(kKeywordFile, std::string("kw1\r\nkw2\0hidden\r\n", 17));
  folder.Write(kPathFile, std::string("C:\\x\r\nC:\\y\0\r\nC:\\z\r\n", 19));
  Load();
  EXPECT_EQ(memory.编辑框_文件名.Text(), "kw1\r\nkw2");
  EXPECT_EQ(memory.列表框_路径.Entries(), (std::vector<std::string>{"C:\\x", "C:\\y"}));
}

TEST_F(SettingsTest, LoneCrOrLfAndTrailBytesAreNotLineBreaksInThePathFile) {
  // In GBK, 0x81 0x0D is not a valid pair, but a lead byte still takes the next byte with it.
  folder.Write(kPathFile, "a\rb\nc\r\nd");
  Load();
  EXPECT_EQ(memory.列表框_路径.Entries(), (std::vector<std::string>{"a\rb\nc", "d"}));
}

TEST_F(SettingsTest, SaveListsWritesThePathFileAlwaysAndTheKeywordsOnlyWhileTicked) {
  SaveLists(memory.controls(), folder.location());
  EXPECT_EQ(folder.Read(kPathFile), "") << "an empty list gives an empty file";

  folder.Write(kKeywordFile, "older");
  memory.选择框_保存关键字.SetChecked(false);
  memory.编辑框_文件名.SetText("new");
  SaveLists(memory.controls(), folder.location());
  EXPECT_EQ(folder.Read(kKeywordFile), "older");

  memory.选择框_保存关键字.SetChecked(true);
  memory.编辑框_文件名.SetText("x\r\ny");
  SaveLists(memory.controls(), folder.location());
  EXPECT_EQ(folder.Read(kKeywordFile), "x\r\ny") << "no line break added at the end";

  memory.编辑框_文件名.SetText("");
  SaveLists(memory.controls(), folder.location());
  EXPECT_EQ(folder.Read(kKeywordFile), "");
  Config("保存关键字=真\r\n");
  testing::MemoryControls next;
  LoadSettings(next.controls(), folder.location());
  EXPECT_EQ(next.编辑框_文件名.Text(), "");
  EXPECT_FALSE(next.透明标签_提示.Visible());
}

TEST_F(SettingsTest, SaveListsReplacesALongerOldFileWholly) {
  folder.Write(kPathFile, std::string(5000, 'x'));
  memory.列表框_路径.Append("C:\\one");
  SaveLists(memory.controls(), folder.location());
  EXPECT_EQ(folder.Read(kPathFile), "C:\\one\r\n");
}

TEST_F(SettingsTest, SaveListsIntoAMissingFolderFailsQuietly) {
  SettingsLocation gone = folder.location();
  gone.program_folder += std::string(1, gone.separator) + "missing";
  memory.列表框_路径.Append("C:\\one");
  SaveLists(memory.controls(), gone);
  EXPECT_FALSE(folder.Exists("missing"));
}

TEST_F(SettingsTest, OptionClicksStoreTheControlStateAtOnce) {
  StoreFuzzyMatching(folder.location());
  EXPECT_EQ(Option(kKeyExact), kFalse);
  StoreExactMatching(folder.location());
  EXPECT_EQ(Option(kKeyExact), kTrue);

  memory.选择框_同名自动改名.SetChecked(true);
  StoreRenameOnClash(memory.controls(), folder.location());
  memory.选择框_搜索目录.SetChecked(false);
  StoreFolderNamesOnly(memory.controls(), folder.location());
  memory.选择框_保存关键字.SetChecked(true);
  StoreSaveKeywords(memory.controls(), folder.location());
  EXPECT_EQ(Option(kKeyRenameOnClash), kTrue);
  EXPECT_EQ(Option(kKeyFolderNamesOnly), kFalse);
  EXPECT_EQ(Option(kKeySaveKeywords), kTrue);
  EXPECT_FALSE(folder.Exists(kKeywordFile)) << "ticking 选择框_保存关键字 neither reads nor writes the keywords";

  // What was clicked comes back at the next start.
  testing::MemoryControls next;
  LoadSettings(next.controls(), folder.location());
  EXPECT_TRUE(next.选择框_同名自动改名.Checked());
  EXPECT_TRUE(next.选择框_保存关键字.Checked());
  EXPECT_TRUE(next.单选框_精确搜索.Checked());
}

TEST(ProgramFolderTest, CutsBeforeTheLastSeparatorCharacter) {
  const text::Charset gbk = text::Charset::Gbk();
  EXPECT_EQ(ProgramFolderFromExecutable(gbk, "C:\\Tools\\Quellor.exe", '\\'), "C:\\Tools");
  EXPECT_EQ(ProgramFolderFromExecutable(gbk, "C:\\Quellor.exe", '\\'), "C:");
  // 0xD6 0x5C is one character: its trail byte is no separator.
  EXPECT_EQ(ProgramFolderFromExecutable(gbk, "C:\\\xD6\\x\\Quellor.exe", '\\'), "C:\\\xD6\\x");
  EXPECT_EQ(ProgramFolderFromExecutable(gbk, "C:\\\xD6\\Quellor.exe", '\\'), "C:");
}

// The stored lists: where the system's texts are code page 936 (Windows), a
// text that fits it is written in it byte for byte as always, any other as
// UTF-8 with a byte-order mark; a mark decides on reading, and a file without
// one reads as it always did. Where texts and names share one encoding, the
// bytes stay as they are.
TEST(StoredList, CodePage936WhenEveryCharacterFitsElseUtf8WithAMark) {
  const bool ansi = platform::SystemTextEncoding() == platform::TextEncoding::Ansi;
  for (const testing::InvoiceName& invoice : testing::SevenInvoices()) {
    SCOPED_TRACE(invoice.name);
    const std::string text = "C:\\" + invoice.name + "\r\nx\r\n";
    const std::string bytes = StoredTextBytes(text);
    if (!ansi) {
      EXPECT_EQ(bytes, text);
    } else if (invoice.fits_code_page_936) {
      EXPECT_EQ(bytes, *platform::EncodeText(*platform::DecodeName(text), platform::TextEncoding::Ansi));
    } else {
      EXPECT_EQ(bytes, "\xEF\xBB\xBF" + text);
    }
    EXPECT_EQ(ReadStoredText(bytes), text);
  }
  if (!ansi) return;
  const std::string report = testing::Utf8(u8"\u62A5\u544A");
  EXPECT_EQ(ReadStoredText("\xB1\xA8\xB8\xE6"), report) << "a file of an older version";
  EXPECT_EQ(ReadStoredText("\xFF\xFE\xA5\x62\x4A\x54"), report) << "UTF-16 with its mark";
  EXPECT_EQ(ReadStoredText("bad\x81\r\n\xB1\xA8\xB8\xE6"), "bad" + testing::Utf8(u8"\uFFFD") + "\r\n" + report)
      << "what cannot be read is marked, the rest kept";
  EXPECT_EQ(ReadStoredText("\xEF\xBB\xBF" "bad\xB1\r\nok"), "bad" + testing::Utf8(u8"\uFFFD") + "\r\nok")
      << "a marked file that is not quite UTF-8 likewise";
}

}  // namespace
}  // namespace quellor::commands
