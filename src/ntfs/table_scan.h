// One pass over a volume's table of files, in large sequential reads: what
// each record in use says about the names a search can see.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string_view>

#include "ntfs/little_endian.h"
#include "ntfs/table_map.h"

namespace quellor::ntfs {

// What a record is, as far as a walk cares.
enum RecordBits : std::uint8_t {
  kBitInUse = 0x01,
  kBitFolder = 0x02,
  kBitReparsePoint = 0x04,  // the file attributes say it is a reparse point
  kBitItselfTag = 0x08,     // its reparse tag names no other item: it is no link
};

// Hears the records of a scan. Names are UTF-8, with a lone surrogate as its
// own three-byte sequence.
class TableSink {
 public:
  virtual ~TableSink() = default;
  // A base record in use, once, with the bits its own attributes give.
  virtual void RecordSeen(std::uint64_t record, std::uint16_t sequence, std::uint8_t bits) = 0;
  // Bits an extension record adds to its base record (a reparse tag kept there).
  virtual void BitsSeen(std::uint64_t record, std::uint8_t bits) = 0;
  // A name of `record` (a base record, whose sequence the name's record
  // carried as `sequence`) in the folder `parent`: every name but the short
  // (8.3) ones, each with the short name kept beside it in the same record
  // for the same folder (empty when none). A file's one long name that has a
  // short name of its own is `win32`; hard links are not.
  virtual void NameSeen(std::uint64_t record, std::uint16_t sequence, FileReference parent, std::string_view name,
                        std::string_view alias, bool win32) = 0;
  // A short name with no long name beside it in its record; the long one
  // (`win32`) is in another record of the same file.
  virtual void LoneAliasSeen(std::uint64_t record, std::uint16_t sequence, FileReference parent,
                             std::string_view alias) = 0;
  // The security id (non-zero) of a folder's base record in use, after its
  // RecordSeen: the key of its descriptor in $Secure.
  virtual void SecuritySeen(std::uint64_t /*record*/, std::uint32_t /*id*/) {}
};

struct ScanCounts {
  std::uint64_t records = 0;     // in the table
  std::uint64_t in_use = 0;
  std::uint64_t torn = 0;        // skipped: written halfway
  std::uint64_t malformed = 0;   // skipped: marked bad or damaged
  std::uint64_t unreadable = 0;  // skipped: the source could not give their bytes
  bool stopped = false;          // the scan was asked to stop before the end
};

// The bytes read at a time: large enough for disk speed, small enough that
// the table is never held whole.
inline constexpr std::size_t kScanChunkBytes = 4u << 20;

// Told after each chunk how many of the table's records were read.
using ScanProgress = std::function<void(std::uint64_t read, std::uint64_t records)>;

// Reads every record of `map`'s table in order and tells `sink`; a record
// that cannot be used is skipped and counted. `stop`, when given, is looked
// at between chunks.
ScanCounts ScanTable(const TableMap& map, TableSink& sink, const ScanProgress& progress = {},
                     const std::atomic<bool>* stop = nullptr);

}  // namespace quellor::ntfs
