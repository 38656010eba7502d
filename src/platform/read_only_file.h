// A file or device read at any offset, for readers of whole volumes: a disk
// image or a partition on POSIX, an image file or a drive's volume on Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quellor::platform {

class ReadOnlyFile {
 public:
  // Opens `path` for reading; null, with the system's error code in `error`,
  // when it cannot be opened.
  static std::unique_ptr<ReadOnlyFile> Open(const std::string& path, int& error);
  // Opens the volume behind a drive root ("C:") for reading its sectors,
  // which takes an elevated process; others may go on reading and writing
  // it. Its reads must start and end on sector boundaries. Null, with the
  // system's error code, when it cannot be opened; POSIX has no such
  // volumes (ENOTSUP).
  static std::unique_ptr<ReadOnlyFile> OpenVolume(const std::string& root, int& error);
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  // Reads exactly `size` bytes at `offset`; false when they are not all
  // there (past the end, or an I/O error).
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) const;
  // Its size in bytes (a device's too).
  std::uint64_t Size() const { return size_; }

 private:
  ReadOnlyFile(std::intptr_t handle, std::uint64_t size) : handle_(handle), size_(size) {}
  std::intptr_t handle_;
  std::uint64_t size_;
};

}  // namespace quellor::platform
