// Quellor.exe: start-up, the window's event loop, and the end of the process.
#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/message_loop.h"
#include "commands/program_folder.h"
#include "ntfs/helper_server.h"
#include "platform/command_line.h"
#include "platform/system_charset.h"
#include "platform/win32/bound_function_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace {

// The executable's full path, in UTF-8 whatever its folders are called;
// empty when it cannot be had whole.
std::string ExecutablePath() {
  for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
    std::wstring path(size, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
    if (length == 0) return {};
    if (length < size) return quellor::platform::win32::Utf8Name(path.data(), length);  // equal: cut short
  }
  return {};
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  // Started by the window to read volumes with an administrator's rights: no window of its own.
  const std::vector<std::string> arguments = quellor::platform::CommandLineArguments(__argc, __argv);
  if (quellor::ntfs::IsHelperCommandLine(arguments)) return quellor::ntfs::ServeVolumeReads(arguments);

  // Drag and drop and the folder browser need OLE on this thread.
  const HRESULT ole = OleInitialize(nullptr);

  std::string program_folder;
  const std::string executable = ExecutablePath();
  if (!executable.empty()) {
    program_folder = quellor::commands::ProgramFolderFromExecutable(quellor::platform::NameCharset(), executable, '\\');
    // A drive root's folder is "C:"; as a current directory that would mean the drive's current folder.
    const std::string directory = program_folder.size() == 2 ? program_folder + "\\" : program_folder;
    SetCurrentDirectoryW(quellor::platform::win32::WideName(directory).value_or(std::wstring()).c_str());
  }

  quellor::app::MainWindow::Options options;
  options.program_folder = program_folder;
  std::unique_ptr<quellor::app::MainWindow> window = quellor::app::MainWindow::Create(instance, options);
  if (!window) {
    quellor::platform::win32::ShowRuntimeErrorBox(quellor::platform::win32::RuntimeErrorText("载入启动窗口失败"));
    if (SUCCEEDED(ole)) OleUninitialize();
    return -1;
  }
  window->Show(show_command);
  quellor::app::RunMessageLoop(window->handle());
  window.reset();
  if (SUCCEEDED(ole)) OleUninitialize();
  return 0;
}
