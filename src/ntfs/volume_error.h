// Why a volume's table of files could not be read; the front ends put it
// into words.
#pragma once

namespace quellor::ntfs {

enum class VolumeError {
  None,
  CannotRead,      // the source gave no bytes where the volume needs them
  NotNtfs,         // the boot sector names no NTFS volume
  BadBootSector,   // it does, but its sizes or places are impossible
  BadTableRecord,  // the table's own first record is torn or malformed
  BadTableMap,     // the table's extents (run list, attribute list) are malformed
  TooLarge,        // more records or name bytes than an index can hold
  Stopped,         // the reader was asked to stop before the end
};

}  // namespace quellor::ntfs
