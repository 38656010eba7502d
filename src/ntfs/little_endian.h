// Little-endian numbers at an offset of a byte range, with the one bounds
// test every structure of the volume goes through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace quellor::ntfs {

class ByteView {
 public:
  ByteView() = default;
  ByteView(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

  std::size_t size() const { return size_; }
  const unsigned char* data() const { return data_; }
  // True when [at, at + count) lies inside, without overflow.
  bool Has(std::size_t at, std::size_t count) const { return at <= size_ && count <= size_ - at; }
  // The part [at, at + count); the caller has checked Has(at, count).
  ByteView Part(std::size_t at, std::size_t count) const { return ByteView(data_ + at, count); }

  // Numbers at `at`; the caller has checked Has(at, width).
  std::uint8_t U8(std::size_t at) const { return data_[at]; }
  std::uint16_t U16(std::size_t at) const { return static_cast<std::uint16_t>(data_[at] | data_[at + 1] << 8); }
  std::uint32_t U32(std::size_t at) const { return Unsigned(at, 4); }
  std::uint64_t U64(std::size_t at) const { return Unsigned(at, 8); }
  // `width` (1 to 8) bytes as an unsigned number.
  std::uint64_t Unsigned(std::size_t at, std::size_t width) const {
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = value << 8 | data_[at + i];
    return value;
  }

 private:
  const unsigned char* data_ = nullptr;
  std::size_t size_ = 0;
};

// A file reference: a record number in its low 48 bits, the sequence number
// the record had when the reference was made in the high 16.
struct FileReference {
  std::uint64_t record;
  std::uint16_t sequence;
};
inline FileReference SplitReference(std::uint64_t reference) {
  return {reference & 0xFFFFFFFFFFFFull, static_cast<std::uint16_t>(reference >> 48)};
}

}  // namespace quellor::ntfs
