#include "ntfs/table_scan.h"

#include <algorithm>
#include <string>
#include <vector>

#include "ntfs/file_record.h"
#include "text/utf16.h"

namespace quellor::ntfs {

namespace {

constexpr std::uint8_t kDosNames = 2;
constexpr std::uint8_t kWin32Names = 1;
constexpr std::uint32_t kReparsePointAttribute = 0x400;  // FILE_ATTRIBUTE_REPARSE_POINT
constexpr std::uint32_t kNameSurrogateTag = 0x20000000;
// Standard information as volumes since version 3.0 write it carries the security id.
constexpr std::size_t kSecurityIdAt = 0x34;
constexpr std::size_t kLongStandardInformation = 0x48;

struct FoundName {
  std::uint64_t parent;  // the reference as stored: record and sequence
  std::uint8_t name_space;
  std::size_t at, size;  // in the record's UTF-8
  bool paired = false;
};

// What one pass keeps between records, so a record costs no allocation.
class RecordReader {
 public:
  explicit RecordReader(TableSink& sink) : sink_(sink) {}

  // False when the record's attributes are malformed; then nothing of it is told.
  bool Read(std::uint64_t number, const unsigned char* record, const RecordHeader& header) {
    names_.clear();
    utf8_.clear();
    std::uint32_t file_attributes = 0;
    std::uint32_t security_id = 0;
    bool itself_tag = false;
    AttributeReader attributes(record, header);
    Attribute a;
    while (attributes.Next(a)) {
      if (a.type == kStandardInformation && a.resident && a.value.Has(0x20, 4)) {
        file_attributes = a.value.U32(0x20);
        if (a.value.size() >= kLongStandardInformation) security_id = a.value.U32(kSecurityIdAt);
      } else if (a.type == kReparsePoint) {
        // A tag that cannot be read counts as a link: a walk never enters it.
        const std::uint32_t tag = a.resident && a.value.Has(0, 4) ? a.value.U32(0) : 0;
        itself_tag = tag != 0 && (tag & kNameSurrogateTag) == 0;
      } else if (a.type == kFileName && a.resident && a.value.Has(0, 0x42)) {
        const std::uint32_t units = a.value.U8(0x40);
        if (units == 0 || !a.value.Has(0x42, 2 * units)) return false;
        FoundName name{a.value.U64(0), a.value.U8(0x41), utf8_.size(), 0};
        AppendName(a.value.Part(0x42, 2 * units), units);
        name.size = utf8_.size() - name.at;
        names_.push_back(name);
      }
    }
    if (attributes.Malformed()) return false;

    const bool base = header.base.record == 0;
    const std::uint64_t owner = base ? number : header.base.record;
    const std::uint16_t sequence = base ? header.sequence : header.base.sequence;
    if (base) {
      std::uint8_t bits = kBitInUse;
      if ((header.flags & kRecordIsFolder) != 0) bits |= kBitFolder;
      if ((file_attributes & kReparsePointAttribute) != 0) bits |= kBitReparsePoint;
      if (itself_tag) bits |= kBitItselfTag;
      sink_.RecordSeen(number, sequence, bits);
      if ((bits & kBitFolder) != 0 && security_id != 0) sink_.SecuritySeen(number, security_id);
    } else if (itself_tag) {
      sink_.BitsSeen(owner, kBitItselfTag);
    }
    for (FoundName& name : names_) {
      if (name.name_space == kDosNames) continue;
      std::string_view alias;
      if (name.name_space == kWin32Names) {
        for (FoundName& dos : names_) {
          if (dos.name_space == kDosNames && !dos.paired && dos.parent == name.parent) {
            dos.paired = true;
            alias = Text(dos);
            break;
          }
        }
      }
      sink_.NameSeen(owner, sequence, SplitReference(name.parent), Text(name), alias,
                     name.name_space == kWin32Names);
    }
    for (const FoundName& dos : names_) {
      if (dos.name_space == kDosNames && !dos.paired) {
        sink_.LoneAliasSeen(owner, sequence, SplitReference(dos.parent), Text(dos));
      }
    }
    return true;
  }

 private:
  void AppendName(ByteView bytes, std::uint32_t units) {
    for (std::uint32_t i = 0; i < units; ++i) units_[i] = static_cast<char16_t>(bytes.U16(2 * i));
    text::AppendUtf8(utf8_, units_, units);
  }
  std::string_view Text(const FoundName& name) const { return std::string_view(utf8_).substr(name.at, name.size); }

  TableSink& sink_;
  std::vector<FoundName> names_;
  std::string utf8_;
  char16_t units_[255];
};

}  // namespace

ScanCounts ScanTable(const TableMap& map, TableSink& sink, const ScanProgress& progress,
                     const std::atomic<bool>* stop) {
  const std::uint32_t record_size = map.Geometry().record_size;
  const std::uint64_t per_chunk = std::max<std::uint64_t>(1, std::min<std::uint64_t>(kScanChunkBytes / record_size, map.RecordCount()));
  std::vector<unsigned char> chunk(per_chunk * record_size);
  RecordReader reader(sink);
  ScanCounts counts;
  counts.records = map.RecordCount();
  for (std::uint64_t first = 0; first < counts.records; first += per_chunk) {
    if (stop && stop->load(std::memory_order_relaxed)) {
      counts.stopped = true;
      break;
    }
    const std::uint64_t count = std::min(per_chunk, counts.records - first);
    // A failed read is retried record by record, so one bad sector costs one record.
    const bool whole = map.ReadRecords(first, count, chunk.data());
    for (std::uint64_t i = 0; i < count; ++i) {
      unsigned char* record = chunk.data() + i * record_size;
      if (!whole && !map.ReadRecords(first + i, 1, record)) {
        ++counts.unreadable;
        continue;
      }
      RecordHeader header;
      switch (OpenRecord(record, record_size, header)) {
        case RecordState::Free:
          break;
        case RecordState::Torn:
          ++counts.torn;
          break;
        case RecordState::Malformed:
          ++counts.malformed;
          break;
        case RecordState::InUse:
          ++counts.in_use;
          if (!reader.Read(first + i, record, header)) ++counts.malformed;
          break;
      }
    }
    if (progress) progress(first + count, counts.records);
  }
  return counts;
}

}  // namespace quellor::ntfs
