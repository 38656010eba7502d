#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/read_only_file.h"

namespace quellor::platform {

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::Open(const std::string& path, int& error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  struct stat info {};
  // A block device's size is where its end can be sought, not st_size.
  const off_t end = ::lseek(fd, 0, SEEK_END);
  if (::fstat(fd, &info) != 0 || end < 0 || S_ISDIR(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<ReadOnlyFile>(new ReadOnlyFile(fd, static_cast<std::uint64_t>(end)));
}

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::OpenVolume(const std::string&, int& error) {
  error = ENOTSUP;
  return nullptr;
}

ReadOnlyFile::~ReadOnlyFile() { ::close(static_cast<int>(handle_)); }

bool ReadOnlyFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) const {
  auto* out = static_cast<char*>(buffer);
  while (size > 0) {
    const ssize_t got = ::pread(static_cast<int>(handle_), out, size, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    out += got;
    offset += static_cast<std::uint64_t>(got);
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace quellor::platform
