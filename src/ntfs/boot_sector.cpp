#include "ntfs/boot_sector.h"

#include <cstring>

namespace quellor::ntfs {

namespace {

constexpr bool IsPowerOfTwo(std::uint64_t v) { return v != 0 && (v & (v - 1)) == 0; }

// Clusters of up to 2 MiB; a byte above 0x80 gives its size as a power of two.
std::uint32_t SectorsPerCluster(std::uint8_t value) {
  if (value <= 0x80) return IsPowerOfTwo(value) ? value : 0;
  const unsigned shift = 256u - value;
  return shift <= 12 ? 1u << shift : 0;
}

}  // namespace

std::optional<VolumeGeometry> ParseBootSector(ByteView sector, VolumeError& error) {
  error = VolumeError::NotNtfs;
  if (!sector.Has(0, kBootSectorSize) || std::memcmp(sector.data() + 3, "NTFS    ", 8) != 0) return std::nullopt;
  error = VolumeError::BadBootSector;
  if (sector.U16(0x1FE) != 0xAA55) return std::nullopt;
  VolumeGeometry g;
  g.bytes_per_sector = sector.U16(0x0B);
  if (g.bytes_per_sector < 256 || g.bytes_per_sector > 4096 || !IsPowerOfTwo(g.bytes_per_sector)) return std::nullopt;
  const std::uint32_t sectors_per_cluster = SectorsPerCluster(sector.U8(0x0D));
  if (sectors_per_cluster == 0) return std::nullopt;
  const std::uint64_t cluster = std::uint64_t{g.bytes_per_sector} * sectors_per_cluster;
  if (cluster > (2u << 20)) return std::nullopt;
  g.cluster_size = static_cast<std::uint32_t>(cluster);

  const std::uint64_t sectors = sector.U64(0x28);
  if (sectors == 0 || sectors > (std::uint64_t{1} << 52) / g.bytes_per_sector) return std::nullopt;
  g.volume_size = sectors * g.bytes_per_sector;

  const auto per_record = static_cast<std::int8_t>(sector.U8(0x40));
  std::uint64_t record = 0;
  if (per_record > 0) {
    record = std::uint64_t{g.cluster_size} * static_cast<std::uint64_t>(per_record);
  } else if (per_record < 0 && -per_record < 32) {
    record = std::uint64_t{1} << -per_record;
  }
  if (record < kFixupStride || record > 65536 || !IsPowerOfTwo(record)) return std::nullopt;
  g.record_size = static_cast<std::uint32_t>(record);

  g.table_cluster = sector.U64(0x30);
  if (g.table_cluster >= g.volume_size / g.cluster_size) return std::nullopt;
  return g;
}

}  // namespace quellor::ntfs
