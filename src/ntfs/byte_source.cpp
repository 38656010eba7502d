#include "ntfs/byte_source.h"

#include "platform/read_only_file.h"

namespace quellor::ntfs {

FileByteSource::FileByteSource(std::unique_ptr<platform::ReadOnlyFile> file) : file_(std::move(file)) {}
FileByteSource::~FileByteSource() = default;

bool FileByteSource::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
  return file_->ReadAt(offset, buffer, size);
}

std::uint64_t FileByteSource::Size() const { return file_->Size(); }

}  // namespace quellor::ntfs
