// Synthetic NTFS volumes for the tests and benchmarks of the file-table
// reader: a valid layout (boot sector, the system files' records and data,
// the table's run list, its bitmap, a mirror of its first records) around
// whatever FILE records the caller describes, including broken ones.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quellor::testing::ntfs_image {

enum NameSpace : std::uint8_t { kPosix = 0, kWin32 = 1, kDos = 2, kWin32AndDos = 3 };

struct Name {
  std::uint64_t parent = 5;           // record number of the folder holding the name
  std::uint16_t parent_sequence = 5;  // the sequence number the reference carries (the root's is 5)
  std::u16string name;                // written as given, without validation; at most 255 units fit
  std::uint8_t name_space = kWin32;
};

struct Record {
  std::uint64_t number = 0;  // place in the table
  std::uint16_t sequence = 1;
  bool in_use = true;         // false: a deleted record, its attributes still there
  bool folder = false;        // header flag 0x0002 and an empty $I30 index root
  std::uint32_t attributes = 0;               // $STANDARD_INFORMATION file attributes
  std::uint32_t security_id = 0;              // and its security id (0: none)
  std::optional<std::uint32_t> reparse_tag;  // a resident $REPARSE_POINT with this tag and no data
  std::vector<Name> names;                    // one $FILE_NAME each, in this order
  // Non-zero: an extension record of that base, carrying only its names. When
  // the whole image is given at once, the in-use base gets an $ATTRIBUTE_LIST
  // naming its own attributes and those names.
  std::uint64_t base_record = 0;
  std::uint16_t base_sequence = 1;
  bool torn = false;  // the last 512-byte block's update sequence value does not match
};

struct Shape {
  std::uint32_t bytes_per_sector = 512;  // 512 … 4096
  std::uint32_t cluster_size = 4096;     // bytes_per_sector … 2 MiB
  std::uint32_t record_size = 1024;      // 1024 … 4096
  std::uint32_t mft_fragments = 1;       // extents of the table's $DATA, spread over the volume, not in order
  // With mft_fragments > 1: record 0 holds an $ATTRIBUTE_LIST and only the
  // first extent; the others are mapped by extension records (at most four,
  // from first_extension_record on) that the list names.
  bool attribute_list = false;
  std::uint64_t first_extension_record = 12;
};

struct SecurityEntry {
  std::uint32_t id = 0;
  std::string descriptor;  // self-relative, written as given
};

// A self-relative security descriptor that names only an owner,
// S-1-5-21-1-2-3-`owner_rid`: distinct rids, distinct descriptors.
std::string OwnerOnlyDescriptor(std::uint32_t owner_rid);

// An $SDS stream holding `entries` in order, each aligned to 16 bytes, its
// 256 KiB blocks each followed by their mirror copy; an entry that does not
// fit a block's rest starts the next block.
std::string SecurityStream(const std::vector<SecurityEntry>& entries);

// Records 0 to 15 are the system files' unless the caller gives them: 0 $MFT,
// 1 $MFTMirr, 2 $LogFile, 3 $Volume, 4 $AttrDef, 5 the root folder ".",
// 6 $Bitmap, 7 $Boot, 8 $BadClus, 9 $Secure, 10 $UpCase, 11 $Extend; 12 to
// 15 are formatted but not in use (or map the table, see Shape). Records not
// given otherwise are zero. Returns "" or false where the shape is not one
// the writer can lay out or a record's attributes overflow it.
// `security_stream` is $Secure's $SDS stream (see SecurityStream), written
// as given in one run; empty, the stream is resident and empty.
std::string ImageBytes(const Shape& shape, const std::vector<Record>& records, const std::string& security_stream = {});
bool WriteImage(const std::string& path, const Shape& shape, const std::vector<Record>& records,
                const std::string& security_stream = {});

// A large image, streamed to a sparse file: record first + i comes from
// make(first + i), one at a time, and lands at that number whatever its own
// `number` says.
bool WriteImage(const std::string& path, const Shape& shape, std::uint64_t first, std::uint64_t count,
                const std::function<Record(std::uint64_t number)>& make);

// `record_end` is one past the highest record number the image was written
// with (first + count when streamed); the table's layout follows from it and
// the shape alone.

// The records the table holds: record_end rounded up to whole clusters and
// extents, and at least the system files.
std::uint64_t TableRecords(const Shape& shape, std::uint64_t record_end);
// Volume offsets in bytes, for corrupting one record, the boot sector (at 0)
// or the run list of the table's $DATA in record 0.
std::uint64_t RecordOffset(const Shape& shape, std::uint64_t record_end, std::uint64_t number);
std::uint64_t TableRunListOffset(const Shape& shape, std::uint64_t record_end);

}  // namespace quellor::testing::ntfs_image
