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

TEST(ProgramTest, StartedFromAnotherFolderItKeepsItsFilesBesideTheExecutable) {
  testing::TempProgramFolder program;
  testing::TempProgramFolder elsewhere;
  const std::string exe = (program.path() / "Quellor.exe").string();
  ASSERT_TRUE(CopyFileA(testing::WinePath(QUELLOR_EXE).c_str(), exe.c_str(), FALSE));
  program.Write(commands::kConfigFile, "[zhuce]\r\n全盘搜索=真\r\n");
  program.Write(commands::kPathFile, "C:\\x\r\nC:\\y");

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string command = "\"" + exe + "\"";
  const std::string start_folder = elsewhere.path().string();
  ASSERT_TRUE(CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, start_folder.c_str(),
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
  EXPECT_EQ(program.Read(commands::kPathFile), "C:\\x\r\nC:\\y\r\n") << "written back beside the executable at close";
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
