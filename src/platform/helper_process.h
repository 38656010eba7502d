// Other processes: this program started again as the window's helper, with
// or without elevation, and the helper's watch on the window that started it.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quellor::platform {

// A process this one started. Letting it go leaves the process running.
class ChildProcess {
 public:
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  std::uint32_t Id() const { return id_; }
  bool Running();
  // True when it has ended, at the latest after `timeout` (milliseconds::max(): no limit).
  bool Wait(std::chrono::milliseconds timeout);
  // Ends it at once; true when it is ended or had ended.
  bool Terminate();
  // The code it ended with (POSIX: 128 and the signal's number for a process
  // a signal ended); nothing while it runs.
  std::optional<int> ExitCode();

 private:
  ChildProcess(std::intptr_t handle, std::uint32_t id) : handle_(handle), id_(id) {}
  friend std::unique_ptr<ChildProcess> StartThisProgram(const std::vector<std::string>&, bool, int&);
  friend std::unique_ptr<ChildProcess> StartProgram(const std::string&, const std::vector<std::string>&, int&);

  std::intptr_t handle_;  // Windows: the process handle; POSIX: its id
  std::uint32_t id_;
  std::optional<int> ended_with_;  // POSIX: its exit code once collected
};

// Starts this program's own executable again with `arguments` (UTF-8), which
// it finds exactly as given among its own. `elevated` asks the system to
// start it with an administrator's rights, which shows the system's prompt:
// a refusal there is ERROR_CANCELLED. Windows starts an elevated process
// through the shell, so call that from a thread that has COM initialised
// (the window's). POSIX cannot elevate (ENOTSUP). Null, with the system's
// error code, when no process started.
std::unique_ptr<ChildProcess> StartThisProgram(const std::vector<std::string>& arguments, bool elevated, int& error);

// Starts the program at `path` with `arguments`, not elevated; null, with
// the system's error code, when it did not start.
std::unique_ptr<ChildProcess> StartProgram(const std::string& path, const std::vector<std::string>& arguments,
                                           int& error);

// Ends this process, with kEndedWithWatchedProcess, as soon as process `pid`
// ends, watched from a thread of its own: a helper ends with the window it
// works for. False when that process has ended already or cannot be watched.
bool EndWhenProcessEnds(std::uint32_t pid);
constexpr int kEndedWithWatchedProcess = 9;

}  // namespace quellor::platform
