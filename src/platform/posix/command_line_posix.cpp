#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <vector>

#include "platform/command_line.h"

namespace quellor::platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::string ExecutablePath() {
  for (std::size_t size = 4096; size <= (1u << 20); size *= 4) {
    std::string path(size, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0) return {};
    if (static_cast<std::size_t>(length) < size) return path.substr(0, static_cast<std::size_t>(length));
  }
  return {};
}

std::string AbsolutePath(const std::string& path) {
  std::string full;
  if (path.empty() || path[0] != '/') {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
      if (errno != ERANGE) return {};
      buffer.resize(buffer.size() * 2);
    }
    full = buffer.data();
    full += '/';
  }
  full += path;
  std::vector<std::string> parts;
  for (std::size_t start = 0; start <= full.size();) {
    std::size_t end = full.find('/', start);
    if (end == std::string::npos) end = full.size();
    const std::string part = full.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string result;
  for (const std::string& part : parts) result += "/" + part;
  return result.empty() ? "/" : result;
}

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

bool IsWideConsole(std::FILE*) { return false; }

bool WriteToConsole(std::FILE*, std::u16string_view) { return false; }

void UseBinaryStandardStreams() {}

void SurviveClosedOutput() {
  ::signal(SIGPIPE, SIG_IGN);
  // A closed standard stream gets a placeholder that refuses writes, so that
  // no file opened later (a copy's) takes its number and receives the output.
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
    const int placeholder = ::open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
    if (placeholder >= 0 && placeholder != fd) {
      ::dup2(placeholder, fd);
      ::close(placeholder);
    }
  }
}

}  // namespace quellor::platform
