// The real window on a disk that fills up: a small tmpfs that CTest mounts
// for these tests, named by QUELLOR_FULL_DISK (mounting needs root; where it
// was refused the folder holds not-mounted.txt, and the tests skip with it).
// A copy or move that does not fit is counted failed and leaves the older
// file of its name whole; the stored lists and the report are never
// half-written.
#include "app/main_window_fixture.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#include "commands/not_found_report.h"
#include "commands/settings.h"
#include "platform/file_io.h"
#include "platform/ini.h"

namespace quellor::app {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBig = 3 << 20;  // three times what the disk has
const std::string kOlder = "the older file, whole";

// A file's size and first bytes: a failure never prints megabytes.
std::string Head(const std::optional<std::string>& bytes) {
  if (!bytes) return "<no file>";
  return std::to_string(bytes->size()) + " bytes: " + bytes->substr(0, 24);
}

std::set<std::string> NamesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

class FullDiskWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    const char* where = std::getenv("QUELLOR_FULL_DISK");
    if (where == nullptr) GTEST_SKIP() << "QUELLOR_FULL_DISK names no disk";
    disk = testing::WinePath(where);
    if (const std::optional<std::string> why = platform::ReadWholeFile(disk + "\\not-mounted.txt")) {
      GTEST_SKIP() << *why;
    }
    ASSERT_TRUE(fs::is_directory(disk)) << disk;
    for (const auto& entry : fs::directory_iterator(disk)) fs::remove_all(entry.path());
  }
  // Fills the disk to its last byte.
  void FillDisk() const {
    HANDLE file = CreateFileA((disk + "\\filler").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const std::string block(4096, 'f');
    DWORD put = 0;
    while (WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &put, nullptr) && put > 0) {
    }
    CloseHandle(file);
  }
  std::string Status() const { return Text(Item(ids::标签_状态)); }
  static std::string Contents(const std::string& path) { return Head(platform::ReadWholeFile(path)); }

  std::string disk;
  testing::TempProgramFolder tree;
};

TEST_F(FullDiskWindowTest, ACopyOrMoveThatDoesNotFitIsCountedFailedAndTheOlderFileSurvives) {
  const std::string big(kBig, 'b');
  tree.Write("root/big.bin", big);
  const std::string target = disk + "\\target";
  fs::create_directories(target);
  Open();
  dialogs.folders.push_back(tree.Path("root"));
  Click(ids::按钮_搜索路径);
  SetWindowTextA(Item(ids::编辑框_文件名), "big");
  Click(ids::按钮_立即搜索);
  ASSERT_TRUE(testing::PumpUntil([&] { return Status() == "搜索完毕！共搜索到文件1个."; }, 30s, main())) << Status();
  ListView_SetCheckState(Item(ids::超级列表框_结果), 0, TRUE);

  struct Case {
    int button;
    bool older;
    const char* status;
  };
  for (const Case& c : {Case{ids::按钮_复制选定文件, true, "复制完毕！其中 1 项复制失败。"},
                        Case{ids::按钮_复制选定文件, false, "复制完毕！其中 1 项复制失败。"},
                        Case{ids::按钮_移动选定文件, true, "移动完毕！其中 1 项移动失败。"},
                        Case{ids::按钮_移动选定文件, false, "移动完毕！其中 1 项移动失败。"}}) {
    SCOPED_TRACE(std::string(c.status) + (c.older ? ", an older file there" : ", nothing there"));
    fs::remove(target + "\\big.bin");
    if (c.older) std::ofstream(target + "\\big.bin", std::ios::binary) << kOlder;
    dialogs.folders.push_back(target);
    Click(c.button);
    EXPECT_EQ(Status(), c.status);
    EXPECT_EQ(NamesIn(target), c.older ? std::set<std::string>{"big.bin"} : std::set<std::string>{});
    if (c.older) {
      EXPECT_EQ(Contents(target + "\\big.bin"), Head(kOlder));
    }
    EXPECT_TRUE(tree.Read("root/big.bin") == big) << "the source stays whole";
  }
  SaveScreenshot("result-actions-full-disk");
}

TEST_F(FullDiskWindowTest, TheStoredListsAndTheReportOnAFullDiskAreNeverHalfWritten) {
  program_folder = disk + "\\program";
  fs::create_directories(program_folder);
  const commands::SettingsLocation where{program_folder, &platform::NameCharset(), platform::kPathSeparator};
  platform::WriteIniValue(where.FilePath(commands::kConfigFile), commands::kConfigSection,
                          commands::kKeySaveKeywords, commands::kTrue);
  const std::string report = program_folder + "\\" + commands::kNotFoundReportName;
  for (const std::string& file : {where.FilePath(commands::kPathFile), where.FilePath(commands::kKeywordFile), report}) {
    ASSERT_TRUE(platform::WriteWholeFileReplacing(file, kOlder));
  }
  const std::set<std::string> before = NamesIn(program_folder);
  FillDisk();

  Open();
  dialogs.folders.push_back(tree.Root());
  Click(ids::按钮_搜索路径);
  SetWindowTextA(Item(ids::编辑框_文件名), std::string(20000, 'k').c_str());
  Click(ids::按钮_未搜索到文件);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text.rfind("无法写入未搜到文件列表：", 0), 0u) << dialogs.messages[0].text;
  Close();

  for (const std::string& file : {where.FilePath(commands::kPathFile), where.FilePath(commands::kKeywordFile), report}) {
    EXPECT_EQ(Contents(file), Head(kOlder)) << file;
  }
  EXPECT_EQ(NamesIn(program_folder), before) << "no temporary file left behind";
}

}  // namespace
}  // namespace quellor::app
