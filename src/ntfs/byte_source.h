// Where a volume's bytes come from: an image file or a device through the
// platform (tests give bytes of their own).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace quellor::platform {
class ReadOnlyFile;
}

namespace quellor::ntfs {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads exactly `size` bytes at `offset`; false when they cannot all be read.
  virtual bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
  virtual std::uint64_t Size() const = 0;
};

// The bytes of a file or device, read through the platform.
class FileByteSource : public ByteSource {
 public:
  explicit FileByteSource(std::unique_ptr<platform::ReadOnlyFile> file);
  ~FileByteSource() override;
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override;
  std::uint64_t Size() const override;

 private:
  std::unique_ptr<platform::ReadOnlyFile> file_;
};

}  // namespace quellor::ntfs
