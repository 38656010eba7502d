#include <windows.h>
#include <shellapi.h>

#include <optional>

#include "platform/command_line_quoting.h"
#include "platform/helper_process.h"
#include "platform/win32/bound_function_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::platform {

namespace {

HANDLE ProcessHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

DWORD WaitMilliseconds(std::chrono::milliseconds timeout) {
  if (timeout.count() <= 0) return 0;
  return timeout.count() >= static_cast<long long>(INFINITE) ? INFINITE : static_cast<DWORD>(timeout.count());
}

std::optional<std::wstring> ThisProgramPath(int& error) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (size == 0) {
      error = static_cast<int>(GetLastError());
      return std::nullopt;
    }
    // A path that filled the buffer may have been cut.
    if (size < path.size()) {
      path.resize(size);
      return path;
    }
    if (path.size() >= 65536) {
      error = ERROR_FILENAME_EXCED_RANGE;
      return std::nullopt;
    }
    path.resize(path.size() * 2);
  }
}

std::optional<std::wstring> WideArguments(const std::vector<std::string>& arguments, int& error) {
  std::optional<std::wstring> wide = win32::WideName(JoinedArguments(arguments));
  if (!wide) error = ERROR_NO_UNICODE_TRANSLATION;
  return wide;
}

struct Started {
  HANDLE process;
  DWORD id;
};

std::optional<Started> Create(const std::wstring& program, const std::vector<std::string>& arguments, int& error) {
  const std::optional<std::wstring> rest = WideArguments(arguments, error);
  if (!rest) return std::nullopt;
  // A program's path holds no quote, so quotes around it keep it whole.
  std::wstring command_line = L"\"" + program + L"\"";
  if (!rest->empty()) command_line += L" " + *rest;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  // The system may write into the command line it is given.
  if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
    error = static_cast<int>(GetLastError());
    return std::nullopt;
  }
  CloseHandle(started.hThread);
  return Started{started.hProcess, started.dwProcessId};
}

std::optional<Started> CreateElevated(const std::wstring& program, const std::vector<std::string>& arguments,
                                      int& error) {
  const std::optional<std::wstring> parameters = WideArguments(arguments, error);
  if (!parameters) return std::nullopt;
  SHELLEXECUTEINFOW request{};
  request.cbSize = sizeof request;
  // The shell's own error boxes stay away: the caller says what went wrong.
  request.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  request.lpVerb = L"runas";
  request.lpFile = program.c_str();
  request.lpParameters = parameters->c_str();
  request.nShow = SW_SHOWNORMAL;
  if (!QUELLOR_BOUND(shell32, ShellExecuteExW)(&request)) {
    error = static_cast<int>(GetLastError());
    return std::nullopt;
  }
  if (request.hProcess == nullptr) {
    error = ERROR_INVALID_HANDLE;
    return std::nullopt;
  }
  const DWORD id = GetProcessId(request.hProcess);
  if (id == 0) {
    error = static_cast<int>(GetLastError());
    CloseHandle(request.hProcess);
    return std::nullopt;
  }
  return Started{request.hProcess, id};
}

DWORD WINAPI EndWithProcess(void* process) {
  WaitForSingleObject(static_cast<HANDLE>(process), INFINITE);
  // Nothing a helper does is worth finishing for a window that has gone,
  // and threads that may hold the runtime's locks are not waited for.
  TerminateProcess(GetCurrentProcess(), kEndedWithWatchedProcess);
  return 0;
}

}  // namespace

ChildProcess::~ChildProcess() { CloseHandle(ProcessHandle(handle_)); }

bool ChildProcess::Running() { return WaitForSingleObject(ProcessHandle(handle_), 0) == WAIT_TIMEOUT; }

bool ChildProcess::Wait(std::chrono::milliseconds timeout) {
  return WaitForSingleObject(ProcessHandle(handle_), WaitMilliseconds(timeout)) == WAIT_OBJECT_0;
}

bool ChildProcess::Terminate() { return !Running() || TerminateProcess(ProcessHandle(handle_), 1) != 0 || !Running(); }

std::optional<int> ChildProcess::ExitCode() {
  DWORD code = 0;
  if (Running() || !GetExitCodeProcess(ProcessHandle(handle_), &code)) return std::nullopt;
  return static_cast<int>(code);
}

std::unique_ptr<ChildProcess> StartThisProgram(const std::vector<std::string>& arguments, bool elevated, int& error) {
  const std::optional<std::wstring> program = ThisProgramPath(error);
  if (!program) return nullptr;
  const std::optional<Started> started =
      elevated ? CreateElevated(*program, arguments, error) : Create(*program, arguments, error);
  if (!started) return nullptr;
  return std::unique_ptr<ChildProcess>(
      new ChildProcess(reinterpret_cast<std::intptr_t>(started->process), started->id));
}

std::unique_ptr<ChildProcess> StartProgram(const std::string& path, const std::vector<std::string>& arguments,
                                           int& error) {
  const std::optional<std::wstring> program = win32::WideName(path);
  if (!program) {
    error = ERROR_INVALID_NAME;
    return nullptr;
  }
  const std::optional<Started> started = Create(*program, arguments, error);
  if (!started) return nullptr;
  return std::unique_ptr<ChildProcess>(
      new ChildProcess(reinterpret_cast<std::intptr_t>(started->process), started->id));
}

bool EndWhenProcessEnds(std::uint32_t pid) {
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) return false;
  // A process that has ended can still be opened while anyone holds it.
  if (WaitForSingleObject(process, 0) != WAIT_TIMEOUT) {
    CloseHandle(process);
    return false;
  }
  // The watch only waits: a small stack is plenty.
  const HANDLE watch =
      CreateThread(nullptr, 64 * 1024, EndWithProcess, process, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (watch == nullptr) {
    CloseHandle(process);
    return false;
  }
  CloseHandle(watch);
  return true;
}

}  // namespace quellor::platform
