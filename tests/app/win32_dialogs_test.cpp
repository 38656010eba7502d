// The window's own message boxes and folder choosers, answered by a timer
// that runs inside their modal loops.
#include "app/win32_dialogs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app/main_window_fixture.h"
#include "support/foreign_names.h"

namespace quellor::app {
namespace {

// What the timer saw of the dialog it answered.
struct SeenDialog {
  bool found = false;
  std::string caption;
  std::vector<std::string> texts;  // captions of its static and edit children
  bool has_edit = false;
  int buttons = 0;  // visible ones
  HWND owner = nullptr;
  bool main_enabled = true;
  std::function<void(HWND dialog)> answer;
};
SeenDialog* g_seen = nullptr;
HWND g_main = nullptr;

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
  auto* seen = reinterpret_cast<SeenDialog*>(param);
  const std::string kind = testing::ClassName(child);
  if (kind == "Static" || kind == "Edit") seen->texts.push_back(testing::Text(child));
  if (kind == "Edit") seen->has_edit = true;
  if (kind == "Button" && IsWindowVisible(child)) ++seen->buttons;
  return TRUE;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
  HWND* found = reinterpret_cast<HWND*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) && testing::ClassName(window) == "#32770") {
    *found = window;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = nullptr;
  EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&dialog));
  if (dialog == nullptr || g_seen == nullptr || g_seen->found) return;
  KillTimer(nullptr, timer);
  g_seen->found = true;
  g_seen->caption = testing::Text(dialog);
  g_seen->owner = GetWindow(dialog, GW_OWNER);
  g_seen->main_enabled = g_main != nullptr && IsWindowEnabled(g_main);
  EnumChildWindows(dialog, &CollectChild, reinterpret_cast<LPARAM>(g_seen));
  g_seen->answer(dialog);
}

class Win32DialogsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    Open();
    g_main = main();
  }
  void TearDown() override {
    g_seen = nullptr;
    g_main = nullptr;
    MainWindowTest::TearDown();
  }
  // Runs `show` with a timer that answers the dialog it opens.
  template <typename Show>
  auto WithAnswer(SeenDialog& seen, Show show) {
    g_seen = &seen;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &AnswerDialog);
    auto result = show();
    KillTimer(nullptr, timer);
    g_seen = nullptr;
    return result;
  }
};

TEST_F(Win32DialogsTest, MessageBoxesHaveNoOwnerAndReportTheButtonPressed) {
  Win32Dialogs dialogs_under_test(main());
  const struct {
    ui::MessageButtons buttons;
    int shown;
    int pressed;
    ui::MessageAnswer answer;
  } cases[] = {
      {ui::MessageButtons::Ok, 1, IDOK, ui::MessageAnswer::Ok},
      {ui::MessageButtons::OkCancel, 2, IDOK, ui::MessageAnswer::Ok},
      {ui::MessageButtons::OkCancel, 2, IDCANCEL, ui::MessageAnswer::Cancel},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pressed);
    SeenDialog seen;
    seen.answer = [&c](HWND dialog) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(c.pressed, BN_CLICKED), 0); };
    const ui::MessageAnswer answer = WithAnswer(seen, [&] {
      return dialogs_under_test.ShowMessage("您没有选择要复制的文件！", "信息：", c.buttons, ui::MessageIcon::None);
    });
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, "信息：");
    EXPECT_NE(std::find(seen.texts.begin(), seen.texts.end(), "您没有选择要复制的文件！"), seen.texts.end());
    EXPECT_EQ(seen.buttons, c.shown);
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_FALSE(seen.main_enabled) << "modal to the program's task";
    EXPECT_EQ(answer, c.answer);
    EXPECT_TRUE(IsWindowEnabled(main()));
  }
}

// Wine's classic browser has no edit field: the test takes the folder it
// preselects (the desktop) rather than a typed one.
TEST_F(Win32DialogsTest, SearchFolderBrowserDisablesTheProgramWhileOpen) {
  SeenDialog seen;
  seen.answer = [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); };
  Win32Dialogs dialogs_under_test(main());
  const std::string picked = WithAnswer(
      seen, [&] { return dialogs_under_test.ChooseFolder("选择目录", ui::FolderChooserStyle::SearchFolder); });
  ASSERT_TRUE(seen.found);
  EXPECT_NE(std::find(seen.texts.begin(), seen.texts.end(), "选择目录"), seen.texts.end());
  EXPECT_FALSE(seen.main_enabled);
  EXPECT_TRUE(IsWindowEnabled(main())) << "enabled again afterwards";
  ASSERT_FALSE(picked.empty());
  EXPECT_EQ(GetFileAttributesA(picked.c_str()) & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY) << picked;
}

TEST_F(Win32DialogsTest, CancelledBrowserGivesNothingAndLeavesDisabledWindowsDisabled) {
  EnableWindow(Item(ids::按钮_删除选定文件), FALSE);  // a child keeps its state: only top-level windows are touched
  HWND other = CreateWindowExA(0, "Static", "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  EnableWindow(other, FALSE);
  SeenDialog seen;
  seen.answer = [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); };
  Win32Dialogs dialogs_under_test(main());
  const std::string picked = WithAnswer(
      seen, [&] { return dialogs_under_test.ChooseFolder("选择目录", ui::FolderChooserStyle::SearchFolder); });
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(picked, "");
  EXPECT_TRUE(IsWindowEnabled(main()));
  EXPECT_FALSE(IsWindowEnabled(other)) << "given back its former state";
  EXPECT_FALSE(IsWindowEnabled(Item(ids::按钮_删除选定文件)));
  DestroyWindow(other);
}

TEST_F(Win32DialogsTest, TargetFolderBrowserIsOwnedByTheMainWindow) {
  SeenDialog seen;
  seen.answer = [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); };
  Win32Dialogs dialogs_under_test(main());
  const std::string picked = WithAnswer(
      seen, [&] { return dialogs_under_test.ChooseFolder("请选择", ui::FolderChooserStyle::TargetFolder); });
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(picked, "");
  EXPECT_EQ(seen.owner, main());
  EXPECT_NE(std::find(seen.texts.begin(), seen.texts.end(), "请选择"), seen.texts.end());
  EXPECT_TRUE(seen.has_edit) << "BIF_EDITBOX";
  EXPECT_TRUE(IsWindowEnabled(main()));
}

// The path of a chosen folder comes whole, in UTF-8, whatever its characters:
// never cut at a narrow buffer, never with '?' for a character the code page
// lacks.
TEST(FileSystemPathOf, GivesTheWholePathInUtf8) {
  wchar_t temp[MAX_PATH] = {};
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  const std::filesystem::path base =
      std::filesystem::path(temp) / (L"quellor-item-path-" + std::to_wstring(GetCurrentProcessId()));
  const auto path_of = [](const std::filesystem::path& folder) {
    std::filesystem::path made;
    for (const auto& part : folder) {
      made /= part;
      CreateDirectoryW(made.wstring().c_str(), nullptr);
    }
    PIDLIST_ABSOLUTE item = ILCreateFromPathW(folder.wstring().c_str());
    EXPECT_NE(item, nullptr);
    const std::string path = item != nullptr ? FileSystemPathOf(item) : std::string("(no item)");
    ILFree(item);
    return path;
  };

  const std::string base_text = testing::PathText(base);  // plain ASCII
  EXPECT_EQ(path_of(base / L"\u6587\u4EF6\u5939"), base_text + "\\" + testing::Utf8(u8"\u6587\u4EF6\u5939"));
  EXPECT_EQ(path_of(base / L"J\u00F6rg"), base_text + "\\" + testing::kJoergFolder);

  // Under MAX_PATH characters, over MAX_PATH bytes in the code page.
  std::filesystem::path deep = base;
  for (int level = 0; level < 4; ++level) deep /= std::wstring(30, L'\u6587');
  ASSERT_LT(deep.wstring().size(), static_cast<std::size_t>(MAX_PATH));
  EXPECT_EQ(path_of(deep), testing::PathText(deep));

  std::error_code ignored;
  std::filesystem::remove_all(base, ignored);
}

}  // namespace
}  // namespace quellor::app
