// A volume's bytes held in memory, for the tests of the table's reader.
#pragma once

#include <cstdint>
#include <string>

#include "ntfs/byte_source.h"

namespace quellor::testing {

class MemoryByteSource : public ntfs::ByteSource {
 public:
  explicit MemoryByteSource(std::string bytes) : bytes_(std::move(bytes)) {}
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    if (offset > bytes_.size() || size > bytes_.size() - offset) return false;
    bytes_.copy(static_cast<char*>(buffer), size, offset);
    return true;
  }
  std::uint64_t Size() const override { return bytes_.size(); }

 private:
  std::string bytes_;
};

}  // namespace quellor::testing
