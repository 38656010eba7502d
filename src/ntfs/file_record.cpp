#include "ntfs/file_record.h"

#include <cstring>

#include "ntfs/boot_sector.h"

namespace quellor::ntfs {

RecordState OpenRecord(unsigned char* bytes, std::uint32_t size, RecordHeader& header) {
  const ByteView record(bytes, size);
  if (std::memcmp(bytes, "FILE", 4) != 0) {
    // A record never written is zeros; anything else ("BAAD", garbage) is damage.
    for (std::uint32_t i = 0; i < 4; ++i) {
      if (bytes[i] != 0) return RecordState::Malformed;
    }
    return RecordState::Free;
  }
  header.flags = record.U16(0x16);
  if ((header.flags & kRecordInUse) == 0) return RecordState::Free;

  const std::uint32_t fixup_at = record.U16(0x04);
  const std::uint32_t fixup_count = record.U16(0x06);
  const std::uint32_t steps = size / kFixupStride;
  if (fixup_count != steps + 1 || fixup_at < 0x28 || fixup_at % 2 != 0 || !record.Has(fixup_at, 2 * fixup_count)) {
    return RecordState::Malformed;
  }
  const std::uint16_t check = record.U16(fixup_at);
  for (std::uint32_t i = 0; i < steps; ++i) {
    if (record.U16((i + 1) * kFixupStride - 2) != check) return RecordState::Torn;
  }
  for (std::uint32_t i = 0; i < steps; ++i) {
    std::memcpy(bytes + (i + 1) * kFixupStride - 2, bytes + fixup_at + 2 * (i + 1), 2);
  }

  header.sequence = record.U16(0x10);
  header.attributes_at = record.U16(0x14);
  header.used = record.U32(0x18);
  header.base = SplitReference(record.U64(0x20));
  if (header.used > size || header.attributes_at < 0x18 || header.attributes_at > header.used) {
    return RecordState::Malformed;
  }
  return RecordState::InUse;
}

bool AttributeReader::Next(Attribute& attribute) {
  if (malformed_ || !record_.Has(at_, 4)) {
    malformed_ = true;
    return false;
  }
  attribute.type = record_.U32(at_);
  if (attribute.type == 0xFFFFFFFF) return false;
  malformed_ = true;
  if (!record_.Has(at_, 0x18)) return false;
  const std::uint32_t length = record_.U32(at_ + 4);
  if (length < 0x18 || length % 8 != 0 || !record_.Has(at_, length)) return false;
  const ByteView a = record_.Part(at_, length);
  attribute.resident = a.U8(0x08) == 0;
  const std::uint32_t name_units = a.U8(0x09);
  attribute.named = name_units != 0;
  if (attribute.named && !a.Has(a.U16(0x0A), 2 * name_units)) return false;
  attribute.name = attribute.named ? a.Part(a.U16(0x0A), 2 * name_units) : ByteView();
  if (attribute.resident) {
    const std::uint32_t value_size = a.U32(0x10);
    const std::uint32_t value_at = a.U16(0x14);
    if (!a.Has(value_at, value_size)) return false;
    attribute.value = a.Part(value_at, value_size);
    attribute.runs = {};
  } else {
    if (length < 0x40) return false;
    const std::uint32_t runs_at = a.U16(0x20);
    if (runs_at > length) return false;
    attribute.first_vcn = a.U64(0x10);
    attribute.data_size = a.U64(0x30);
    attribute.runs = a.Part(runs_at, length - runs_at);
    attribute.value = {};
  }
  at_ += length;
  malformed_ = false;
  return true;
}

}  // namespace quellor::ntfs
