// Reads a volume device takes: a device opened for raw reading refuses any
// read that does not start on a sector, span whole sectors and land in
// memory aligned to a sector, while the table's reader asks for records
// wherever they lie.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "ntfs/byte_source.h"

namespace quellor::ntfs {

// Passes on only reads at a multiple of `alignment`, of a multiple of it
// (or up to Size(), which a device gives in whole sectors) into memory
// aligned to it. A request that already is one goes straight through; any
// other goes, at most kBounceBytes at a time, through a buffer of its own.
class AlignedByteSource : public ByteSource {
 public:
  static constexpr std::size_t kDefaultAlignment = 4096;
  static constexpr std::size_t kBounceBytes = std::size_t{1} << 20;

  // `inner` outlives this source.
  explicit AlignedByteSource(ByteSource& inner, std::size_t alignment = kDefaultAlignment);

  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override;
  std::uint64_t Size() const override { return inner_.Size(); }

 private:
  std::uint64_t RoundDown(std::uint64_t value) const { return value - value % alignment_; }
  // [from, to) of the volume into `out`, through the bounce buffer.
  bool ReadThroughBounce(std::uint64_t from, std::uint64_t to, unsigned char* out);

  ByteSource& inner_;
  std::size_t alignment_;
  std::size_t bounce_size_;  // a multiple of the alignment
  std::unique_ptr<unsigned char[]> bounce_storage_;  // made at the first read that needs it
  unsigned char* bounce_ = nullptr;  // aligned, inside the storage
};

}  // namespace quellor::ntfs
