#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <thread>

#include "platform/helper_process.h"
#include "platform/wait_deadline.h"

extern char** environ;

namespace quellor::platform {

namespace {

pid_t ProcessId(std::intptr_t handle) { return static_cast<pid_t>(handle); }

int ExitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + WTERMSIG(status);
}

// The new process's id; nothing, with the error, when it did not start
// (the C library reports a program that cannot be run as a start that failed).
std::optional<pid_t> Spawn(const std::string& path, const std::vector<std::string>& arguments, int& error) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  error = ::posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ);
  if (error != 0) return std::nullopt;
  return pid;
}

}  // namespace

ChildProcess::~ChildProcess() {
  // Collected now if it has ended, so it lingers in no process table.
  Running();
}

bool ChildProcess::Running() {
  if (ended_with_) return false;
  int status = 0;
  pid_t collected = 0;
  do {
    collected = ::waitpid(ProcessId(handle_), &status, WNOHANG);
  } while (collected < 0 && errno == EINTR);
  if (collected == 0) return true;
  // Not ours to collect any more (ECHILD): it has ended, its code unknown.
  ended_with_ = collected < 0 ? -1 : ExitCodeOf(status);
  return false;
}

bool ChildProcess::Wait(std::chrono::milliseconds timeout) {
  const WaitDeadline deadline(timeout);
  while (Running()) {
    if (deadline.Passed()) return false;
    std::this_thread::sleep_for(std::min(deadline.NextSlice(), std::chrono::milliseconds(10)));
  }
  return true;
}

bool ChildProcess::Terminate() {
  // Once collected its id may be another process's.
  if (!Running()) return true;
  return ::kill(ProcessId(handle_), SIGKILL) == 0;
}

std::optional<int> ChildProcess::ExitCode() {
  if (Running()) return std::nullopt;
  return ended_with_;
}

std::unique_ptr<ChildProcess> StartThisProgram(const std::vector<std::string>& arguments, bool elevated, int& error) {
  if (elevated) {
    error = ENOTSUP;
    return nullptr;
  }
  const std::optional<pid_t> pid = Spawn("/proc/self/exe", arguments, error);
  if (!pid) return nullptr;
  return std::unique_ptr<ChildProcess>(new ChildProcess(*pid, static_cast<std::uint32_t>(*pid)));
}

std::unique_ptr<ChildProcess> StartProgram(const std::string& path, const std::vector<std::string>& arguments,
                                           int& error) {
  const std::optional<pid_t> pid = Spawn(path, arguments, error);
  if (!pid) return nullptr;
  return std::unique_ptr<ChildProcess>(new ChildProcess(*pid, static_cast<std::uint32_t>(*pid)));
}

bool EndWhenProcessEnds(std::uint32_t pid) {
  // A process descriptor stays on the process it was opened on, even once
  // its id is given to another, and becomes readable when it ends.
  const int process = static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0));
  if (process < 0) return false;
  // One that has ended but is not yet collected can still be opened.
  pollfd ended{process, POLLIN, 0};
  if (::poll(&ended, 1, 0) != 0) {
    ::close(process);
    return false;
  }
  try {
    std::thread([ended]() mutable {
      while (::poll(&ended, 1, -1) < 0 && errno == EINTR) {
      }
      ::_exit(kEndedWithWatchedProcess);
    }).detach();
  } catch (const std::system_error&) {
    ::close(process);
    return false;
  }
  return true;
}

}  // namespace quellor::platform
