// The sizes and places a volume's boot sector gives: what reading its table
// of files starts from.
#pragma once

#include <cstdint>
#include <optional>

#include "ntfs/little_endian.h"
#include "ntfs/volume_error.h"

namespace quellor::ntfs {

inline constexpr std::uint32_t kBootSectorSize = 512;
// Update sequences protect a record in steps of this many bytes, whatever
// the disk's sector size.
inline constexpr std::uint32_t kFixupStride = 512;

struct VolumeGeometry {
  std::uint32_t bytes_per_sector = 0;
  std::uint32_t cluster_size = 0;  // bytes
  std::uint32_t record_size = 0;   // bytes of one record of the table
  std::uint64_t volume_size = 0;   // bytes
  std::uint64_t table_cluster = 0; // where the table's first record lies
};

// The geometry of the boot sector `sector` (its first 512 bytes); nothing,
// with the reason in `error`, when it is no NTFS boot sector or gives sizes
// no volume can have.
std::optional<VolumeGeometry> ParseBootSector(ByteView sector, VolumeError& error);

}  // namespace quellor::ntfs
