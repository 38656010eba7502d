#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/write_all_posix.h"
#include "platform/replacing_file.h"

namespace quellor::platform {

struct ReplacingFile::Target {
  int fd = -1;
  std::string path;
  std::string temp;  // empty: a FIFO or device, written in place
};

namespace {

constexpr int kMaxLinkHops = 40;

// Where a write to `path` lands, as a shell redirection finds it: each link
// followed to what it leads to (which need not exist yet). Empty on a loop
// or an unreadable link, errno telling why.
std::string FollowLinks(std::string path) {
  for (int hops = 0; hops < kMaxLinkHops; ++hops) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::string target(4096, '\0');
    const ssize_t size = ::readlink(path.c_str(), target.data(), target.size());
    if (size < 0) return {};
    if (size == 0 || static_cast<std::size_t>(size) == target.size()) {
      errno = ENAMETOOLONG;
      return {};
    }
    target.resize(static_cast<std::size_t>(size));
    const std::size_t slash = path.rfind('/');
    path = target[0] == '/' || slash == std::string::npos ? target : path.substr(0, slash + 1) + target;
  }
  errno = ELOOP;
  return {};
}

}  // namespace

ReplacingFile::ReplacingFile() = default;

ReplacingFile::~ReplacingFile() {
  if (!target_) return;
  ::close(target_->fd);
  if (!target_->temp.empty()) ::unlink(target_->temp.c_str());
}

int ReplacingFile::Open(const std::string& given) {
  if (error_ != 0) return error_;
  auto target = std::make_unique<Target>();
  target->path = FollowLinks(given);
  if (target->path.empty()) return Fail(errno);
  struct stat old {};
  const bool exists = ::stat(target->path.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) return Fail(EISDIR);
  if (exists && !S_ISREG(old.st_mode)) {
    target->fd = ::open(target->path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  } else {
    target->temp = target->path + ".XXXXXX";
    target->fd = ::mkstemp(target->temp.data());
    // mkstemp creates 0600: keep the old file's mode, or the usual one.
    if (target->fd >= 0 && ::fchmod(target->fd, exists ? (old.st_mode & 07777) : 0644) != 0) {
      const int error = errno;
      ::close(target->fd);
      ::unlink(target->temp.c_str());
      return Fail(error);
    }
  }
  if (target->fd < 0) return Fail(errno);
  target_ = std::move(target);
  buffer_.reserve(std::size_t{1} << 20);
  return 0;
}

int ReplacingFile::WriteOut(std::string_view bytes) {
  if (!target_) return EBADF;
  errno = 0;
  if (posix::WriteAll(target_->fd, bytes)) return 0;
  return errno != 0 ? errno : EIO;
}

int ReplacingFile::Finish() {
  if (Flush() == 0 && !target_) Fail(EBADF);
  if (error_ == 0 && !target_->temp.empty() && ::fsync(target_->fd) != 0) Fail(errno);
  if (target_) {
    const int fd = target_->fd;
    target_->fd = -1;
    if (::close(fd) != 0) Fail(errno);
    if (error_ == 0 && !target_->temp.empty() && ::rename(target_->temp.c_str(), target_->path.c_str()) != 0) {
      Fail(errno);
    }
    if (error_ != 0 && !target_->temp.empty()) ::unlink(target_->temp.c_str());
    target_.reset();
  }
  return error_;
}

}  // namespace quellor::platform
