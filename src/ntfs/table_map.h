// Where a volume's table of files lies: the boot sector's geometry and the
// extents of the table's own data, gathered from its first record and, when
// the table is fragmented past one record, the extension records its
// attribute list names.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "ntfs/boot_sector.h"
#include "ntfs/byte_source.h"
#include "ntfs/file_record.h"
#include "ntfs/run_list.h"
#include "ntfs/volume_error.h"

namespace quellor::ntfs {

// Extents by their first virtual cluster.
using ExtentMap = std::map<std::uint64_t, Extent>;

class TableMap {
 public:
  // Reads the boot sector and the table's first record from `source`.
  // Nothing, with the reason in `error`, when they do not describe a table.
  static std::unique_ptr<TableMap> Open(ByteSource& source, VolumeError& error);

  const VolumeGeometry& Geometry() const { return geometry_; }
  std::uint64_t RecordCount() const { return record_count_; }

  // Reads records [first, first + count) into `buffer`, as they lie on disk
  // (update sequences not yet applied). False when the source fails.
  bool ReadRecords(std::uint64_t first, std::uint64_t count, unsigned char* buffer) const;

  // Reads the first `size` bytes of a value mapped by `extents`; sparse
  // clusters read as zeros. False where they leave a gap.
  bool ReadValue(const ExtentMap& extents, std::uint64_t size, unsigned char* buffer) const;

 private:
  TableMap(ByteSource& source, const VolumeGeometry& geometry) : source_(source), geometry_(geometry) {}
  VolumeError GatherExtents(unsigned char* first_record);
  bool ReadBytes(const ExtentMap& extents, std::uint64_t at, std::uint64_t size, unsigned char* out) const;

  ByteSource& source_;
  VolumeGeometry geometry_;
  ExtentMap extents_;  // the table's data, without gaps once gathered
  std::uint64_t record_count_ = 0;
};

// The extents of the unnamed non-resident data attribute of the opened
// record `record` (header `header`), added to `out`, with the value's size
// where a run list starts at 0. False when the record's attributes or a run
// list are malformed, or two runs start at one virtual cluster.
bool CollectDataExtents(const unsigned char* record, const RecordHeader& header, std::uint64_t volume_clusters,
                        ExtentMap& out, std::uint64_t& data_size);

// True when `extents` map [0, size) without a gap or overlap.
bool ExtentsCover(const ExtentMap& extents, std::uint64_t size, std::uint32_t cluster_size);

}  // namespace quellor::ntfs
