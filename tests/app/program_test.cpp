// Quellor.exe as a process: where it keeps its files, how it ends, what it carries.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "app/control_ids.h"
#include "app/window_layout.h"
#include "app/window_test_support.h"
#include "commands/settings.h"
#include "platform/win32/wide_text_win32.h"
#include "support/foreign_names.h"
#include "support/temp_program_folder.h"

namespace quellor::app {
namespace {

struct FoundWindow {
  DWORD process;
  HWND window;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM param) {
  auto* found = reinterpret_cast<FoundWindow*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == found->process && testing::ClassName(window) == kWindowClass) {
    found->window = window;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForWindowOf(DWORD process) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < end) {
    FoundWindow found{process, nullptr};
    EnumWindows(&FindProcessWindow, reinterpret_cast<LPARAM>(&found));
    if (found.window != nullptr && IsWindowVisible(found.window)) return found.window;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return nullptr;
}

// Unzipped into a folder whose name code page 936 cannot write (as under
// C:\Users\Jörg\桌面\工具) and started from elsewhere: it finds its files beside
// itself and writes them back there.
TEST(ProgramTest, StartedFromAnotherFolderItKeepsItsFilesBesideTheExecutable) {
  testing::TempProgramFolder program;
  testing::TempProgramFolder elsewhere;
  const std::string beside = testing::kJoergFolder + "/" + testing::Utf8(u8"\u684C\u9762/\u5DE5\u5177");
  program.Folder(beside);
  const std::wstring exe = platform::win32::WideName(program.Path(beside + "/Quellor.exe")).value();
  const std::wstring built = platform::win32::WideText(testing::WinePath(QUELLOR_EXE));
  ASSERT_TRUE(CopyFileW(built.c_str(), exe.c_str(), FALSE));
  program.Write(beside + "/" + std::string(commands::kConfigFile), "[zhuce]\r\n全盘搜索=真\r\n");
  program.Write(beside + "/" + std::string(commands::kPathFile), "C:\\x\r\nC:\\y");

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring command = L"\"" + exe + L"\"";
  const std::wstring start_folder = platform::win32::WideName(elsewhere.Root()).value();
  ASSERT_TRUE(CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, start_folder.c_str(),
                             &startup, &info));
  HWND window = WaitForWindowOf(info.dwProcessId);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(SendMessageA(GetDlgItem(window, ids::单选框_整个电脑), BM_GETCHECK, 0, 0), BST_CHECKED)
      << "config.ini beside the executable was read";
  EXPECT_EQ(SendMessageA(GetDlgItem(window, ids::列表框_路径), LB_GETCOUNT, 0, 0), 2);

  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(info.hProcess, 20000), WAIT_OBJECT_0);
  DWORD exit_code = 1;
  GetExitCodeProcess(info.hProcess, &exit_code);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  EXPECT_EQ(exit_code, 0u);
  EXPECT_EQ(program.Read(beside + "/" + std::string(commands::kPathFile)), "C:\\x\r\nC:\\y\r\n")
      << "written back beside the executable at close";
  EXPECT_FALSE(elsewhere.Exists(commands::kPathFile));
  EXPECT_FALSE(elsewhere.Exists(commands::kConfigFile));
}

TEST(ProgramTest, ExecutableAsksForCommonControlsSix) {
  HMODULE module = LoadLibraryExA(testing::WinePath(QUELLOR_EXE).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(resource, nullptr);
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, resource)));
  const std::string manifest(bytes, SizeofResource(module, resource));
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
  FreeLibrary(module);

}

}  // namespace
}  // namespace quellor::app
