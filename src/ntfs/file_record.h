// One record of the table of files: its update-sequence check and its
// attributes, every offset and length checked against the record.
#pragma once

#include <cstdint>

#include "ntfs/little_endian.h"

namespace quellor::ntfs {

enum class RecordState {
  InUse,
  Free,       // never used or deleted
  Torn,       // a 512-byte step's update-sequence value does not match: written halfway
  Malformed,  // marked bad, or a header whose sizes and offsets cannot be
};

inline constexpr std::uint16_t kRecordInUse = 0x0001;
inline constexpr std::uint16_t kRecordIsFolder = 0x0002;

struct RecordHeader {
  std::uint16_t sequence = 0;
  std::uint16_t flags = 0;
  FileReference base{0, 0};        // record 0: this is a base record
  std::uint32_t attributes_at = 0; // first attribute
  std::uint32_t used = 0;          // bytes in use, attributes end within
};

// Checks the record in `bytes` (`size` bytes, a multiple of 512) and, when
// it is in use, restores the bytes its update sequence replaced, in place.
RecordState OpenRecord(unsigned char* bytes, std::uint32_t size, RecordHeader& header);

inline constexpr std::uint32_t kStandardInformation = 0x10;
inline constexpr std::uint32_t kAttributeList = 0x20;
inline constexpr std::uint32_t kFileName = 0x30;
inline constexpr std::uint32_t kData = 0x80;
inline constexpr std::uint32_t kReparsePoint = 0xC0;

struct Attribute {
  std::uint32_t type = 0;
  bool resident = true;
  bool named = false;
  ByteView name;                // UTF-16LE units, empty when unnamed
  ByteView value;               // resident: the value
  std::uint64_t first_vcn = 0;  // non-resident: the clusters its run list maps
  std::uint64_t data_size = 0;  //   and the value's size (in the extent starting at 0)
  ByteView runs;
};

// The attributes of an opened record, one by one.
class AttributeReader {
 public:
  AttributeReader(const unsigned char* record, const RecordHeader& header)
      : record_(record, header.used), at_(header.attributes_at) {}
  // The next attribute; false at the end marker or when the next one's
  // header or sizes lie outside the record (then Malformed() is true).
  bool Next(Attribute& attribute);
  bool Malformed() const { return malformed_; }

 private:
  ByteView record_;
  std::size_t at_;
  bool malformed_ = false;
};

}  // namespace quellor::ntfs
