#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/append_file.h"

namespace quellor::platform {

namespace {

class PosixAppendFile final : public AppendFile {
 public:
  explicit PosixAppendFile(int fd) : fd_(fd) {}
  ~PosixAppendFile() override { ::close(fd_); }
  PosixAppendFile(const PosixAppendFile&) = delete;
  PosixAppendFile& operator=(const PosixAppendFile&) = delete;

  bool Append(std::string_view line) override {
    ssize_t put = -1;
    do {
      put = ::write(fd_, line.data(), line.size());
    } while (put < 0 && errno == EINTR);
    // A second write for the rest would make two pieces of one line: a short
    // write is a failure, and the reader ignores the torn end.
    return put == static_cast<ssize_t>(line.size());
  }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<AppendFile> OpenForAppending(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return nullptr;
  return std::make_unique<PosixAppendFile>(fd);
}

}  // namespace quellor::platform
