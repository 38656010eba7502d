// The Win32 clipboard, shell and function binding, under the real system.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "platform/clipboard.h"
#include "platform/clipboard_read_back.h"
#include "platform/shell.h"
#include "platform/win32/bound_function_win32.h"

namespace quellor::platform {
namespace {

TEST(Win32Clipboard, HandsTheDropListOverByteForByte) {
  const std::string header = std::string("\x14\0\0\0", 4) + std::string(16, '\0');
  const std::string block = header + std::string("C:\\a\\x.txt\0C:\\\xCE\xC4\xBC\xFE\\\xB1\x5C.doc\0\0", 28);
  ASSERT_TRUE(MakeSystemClipboard()->PutDropList(block));
  const std::string back = testing::ReadClipboardDropList();
  // The system may round the block up; what was handed over comes first.
  ASSERT_GE(back.size(), block.size());
  EXPECT_EQ(back.substr(0, block.size()), block);

  ASSERT_TRUE(OpenClipboard(nullptr));
  HDROP drop = static_cast<HDROP>(GetClipboardData(CF_HDROP));
  ASSERT_NE(drop, nullptr);
  EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 2u);
  char second[MAX_PATH] = {};
  DragQueryFileA(drop, 1, second, MAX_PATH);
  EXPECT_STREQ(second, "C:\\\xCE\xC4\xBC\xFE\\\xB1\x5C.doc");
  CloseClipboard();
}

TEST(Win32Clipboard, ABusyClipboardIsAFailure) {
  ASSERT_TRUE(OpenClipboard(GetDesktopWindow()));
  // Held by another window: the hand-over must fail, not claim success.
  const std::string block = std::string("\x14\0\0\0", 4) + std::string(16, '\0') + std::string("C:\\a\0\0", 6);
  bool handed_over = true;
  std::thread other([&] { handed_over = MakeSystemClipboard()->PutDropList(block); });
  other.join();
  CloseClipboard();
  EXPECT_FALSE(handed_over);
}

TEST(Win32Shell, RequestsForMissingItemsFail) {
  const std::unique_ptr<Shell> shell = MakeSystemShell();
  EXPECT_FALSE(shell->Open("C:\\no such folder\\no such file.txt", ShellVerb::Open));
  EXPECT_FALSE(shell->Open("C:\\no such folder\\no such file.txt", ShellVerb::Default));
  EXPECT_FALSE(shell->ShowInFolder("C:\\no such folder\\no such file.txt"));
}

TEST(Win32BoundFunction, BindsOnceAndKeepsTheAddress) {
  const auto first = QUELLOR_BOUND(kernel32, GetTickCount);
  EXPECT_EQ(first, QUELLOR_BOUND(kernel32, GetTickCount));
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(win32::MissingExportText("shell32.dll", "Nothing"),
            "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“shell32.dll”中的输出命令“Nothing”");
}

// What older systems lack is bound as optional: null, and the program goes on.
TEST(Win32BoundFunction, AnOptionalFunctionIsNullWhereTheSystemLacksIt) {
  using NoArguments = UINT(WINAPI*)();
  EXPECT_EQ((QUELLOR_BOUND_IF_PRESENT(user32, NoSuchExportAnywhere, NoArguments)), nullptr);
  EXPECT_EQ(win32::FindExport("no_such_library.dll", "GetDpiForSystem"), nullptr);
  const auto present = QUELLOR_BOUND_IF_PRESENT(kernel32, GetTickCount, decltype(&::GetTickCount));
  ASSERT_NE(present, nullptr);
  EXPECT_EQ(present, QUELLOR_BOUND(kernel32, GetTickCount));
}

void ReportToStandardError(const std::string& text) {
  std::fputs(text.c_str(), stderr);
  std::fputs("\n[missing export reported]\n", stderr);
  std::fflush(stderr);
}

TEST(Win32BoundFunctionDeathTest, AMissingFunctionEndsTheProcessWithMinusOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  win32::SetMissingExportReporter(&ReportToStandardError);
  EXPECT_EXIT(win32::BindExport("shell32.dll", "NoSuchExportAnywhere"), ::testing::ExitedWithCode(-1),
              "missing export reported");
  EXPECT_EXIT(win32::BindExport("no_such_library.dll", "OpenClipboard"), ::testing::ExitedWithCode(-1),
              "missing export reported");
}

}  // namespace
}  // namespace quellor::platform
