// The real main window in a fresh program folder, with scripted dialogs.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <functional>
#include <vector>

#include "app/control_ids.h"
#include "app/main_window.h"
#include "app/window_test_support.h"
#include "platform/ini.h"
#include "support/scripted_dialogs.h"
#include "support/temp_program_folder.h"

namespace quellor::app {

using namespace std::chrono_literals;
using testing::CaptionExtent;
using testing::ClassName;
using testing::ClientRectOf;
using testing::Text;

class MainWindowTest : public ::testing::Test {
 protected:
  // The window with the scripted dialogs (its own when `real_dialogs`) and the
  // system's shell unless the test gives one, in `folder` unless the test
  // names another program folder.
  void Open(platform::Shell* shell = nullptr, bool real_dialogs = false) {
    MainWindow::Options options;
    options.program_folder = program_folder.empty() ? folder.path().string() : program_folder;
    options.dialogs = real_dialogs ? nullptr : &dialogs;
    options.shell = shell;
    options.quit_when_destroyed = false;
    options.whole_computer_roots = whole_computer_roots;
    window = MainWindow::Create(GetModuleHandleA(nullptr), options);
    ASSERT_NE(window, nullptr);
    window->Show(SW_SHOWNORMAL);
    Pump(100ms);
  }
  void TearDown() override {
    if (window && window->handle()) SendMessageA(window->handle(), WM_CLOSE, 0, 0);
    window.reset();
  }
  void Pump(std::chrono::milliseconds duration) { testing::PumpMessages(duration, main()); }
  HWND main() const { return window ? window->handle() : nullptr; }
  HWND Item(int id) const { return GetDlgItem(main(), id); }
  bool Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void Click(int id) {
    SendMessageA(Item(id), BM_CLICK, 0, 0);
    Pump(10ms);
  }
  std::string Option(std::string_view key) const {
    return platform::ReadIniValue(folder.location().FilePath(commands::kConfigFile), commands::kConfigSection, key);
  }
  std::vector<std::string> PathEntries() const {
    std::vector<std::string> entries;
    const int count = static_cast<int>(SendMessageA(Item(ids::列表框_路径), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      char text[1024] = {};
      SendMessageA(Item(ids::列表框_路径), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      entries.emplace_back(text);
    }
    return entries;
  }
  // The window as it is on the screen, to build/win32/screenshots/<name>.bmp.
  void SaveScreenshot(const std::string& name) {
    SetForegroundWindow(main());
    // The caret blinks: shown, it would make two screenshots of one window
    // differ by the moment each was taken.
    HideCaret(nullptr);
    RedrawWindow(main(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | RDW_UPDATENOW);
    Pump(300ms);
    const std::string folder_path = testing::WinePath(QUELLOR_SCREENSHOT_DIR);
    CreateDirectoryA(folder_path.c_str(), nullptr);
    const std::string bitmap = folder_path + "\\" + name + ".bmp";
    ASSERT_TRUE(testing::SaveWindowBitmap(main(), bitmap)) << bitmap;
  }
  void Close() {
    SendMessageA(main(), WM_CLOSE, 0, 0);
    ASSERT_EQ(main(), nullptr) << "closing is never refused";
  }
  // Runs the driver program against this window while the window answers, and returns what it printed.
  std::string RunDriver(const std::string& arguments) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    EXPECT_TRUE(CreatePipe(&read_end, &write_end, &inherit, 1 << 16));
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write_end;
    startup.hStdError = write_end;
    PROCESS_INFORMATION process{};
    // This window by its handle: another test program may show one like it meanwhile.
    char handle[32];
    std::snprintf(handle, sizeof handle, "%llx", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(main())));
    std::string line = "\"" + testing::WinePath(QUELLOR_WINDOW_DRIVER) + "\" --window " + handle + " " + arguments;
    const bool started =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process) != 0;
    CloseHandle(write_end);
    std::string output;
    if (started) {
      EXPECT_TRUE(testing::PumpUntil([&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 30s,
                                     main()));
      char buffer[4096];
      DWORD got = 0;
      while (ReadFile(read_end, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    } else {
      ADD_FAILURE() << "cannot start " << line;
    }
    CloseHandle(read_end);
    // Its standard output is in text mode: lines end in CR LF.
    std::erase(output, '\r');
    return output;
  }

  testing::TempProgramFolder folder;
  std::string program_folder;
  // The drives of a whole-computer search, where a test searches one.
  std::function<std::vector<std::string>()> whole_computer_roots;
  testing::ScriptedDialogs dialogs;
  std::unique_ptr<MainWindow> window;
};

}  // namespace quellor::app
