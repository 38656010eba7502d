#include "support/ntfs_image.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string_view>
#include <utility>

namespace quellor::testing::ntfs_image {
namespace {

// The update sequence always covers 512-byte blocks, whatever the sector size.
constexpr std::uint32_t kFixupBlock = 512;
constexpr std::uint32_t kIndexBlockSize = 4096;
constexpr std::uint64_t kBootBytes = 8192;
constexpr std::uint64_t kLogFileBytes = 256 * 1024;
constexpr std::uint64_t kUpCaseBytes = 65536 * 2;
constexpr std::uint64_t kAttributeDefinitionBytes = 16 * 160;
constexpr std::uint64_t kMirroredRecords = 4;
constexpr std::uint64_t kSystemRecords = 16;
constexpr std::uint64_t kMaxExtensionRecords = 4;
constexpr std::uint16_t kTableSequence = 1;
constexpr std::uint16_t kTableExtensionSequence = 1;
constexpr std::uint16_t kRoot = 5;
// 2024-01-01 00:00 UTC in 100 ns steps since 1601: every time stamp.
constexpr std::uint64_t kTimestamp = 133485408000000000ULL;
constexpr std::uint32_t kHiddenSystem = 0x6;
constexpr std::uint32_t kFolderNameFlag = 0x10000000;
constexpr std::size_t kWriteChunk = 4 << 20;
constexpr std::uint32_t kCollateFileName = 0x01;
constexpr std::uint32_t kCollateNumber = 0x10;
constexpr std::uint32_t kCollateSecurityHash = 0x12;
constexpr std::uint64_t kSecurityBlockBytes = 256 * 1024;
constexpr std::size_t kSecurityEntryHeaderBytes = 20;

enum AttributeType : std::uint32_t {
  kStandardInformation = 0x10,
  kAttributeList = 0x20,
  kFileName = 0x30,
  kVolumeName = 0x60,
  kVolumeInformation = 0x70,
  kData = 0x80,
  kIndexRoot = 0x90,
  kBitmap = 0xB0,
  kReparsePoint = 0xC0,
};

std::uint64_t CeilDiv(std::uint64_t value, std::uint64_t step) { return (value + step - 1) / step; }
std::uint64_t Align8(std::uint64_t value) { return (value + 7) & ~std::uint64_t{7}; }
bool PowerOfTwo(std::uint64_t value) { return value != 0 && (value & (value - 1)) == 0; }
int Log2(std::uint64_t value) {
  int bits = 0;
  while (value > 1) {
    value >>= 1;
    ++bits;
  }
  return bits;
}
std::uint64_t Reference(std::uint64_t number, std::uint16_t sequence) {
  return (number & 0xFFFFFFFFFFFFULL) | (std::uint64_t{sequence} << 48);
}

void Put(std::string& bytes, std::size_t at, std::uint64_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}
void Append(std::string& bytes, std::uint64_t value, int width) {
  for (int i = 0; i < width; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
}
void AppendUnits(std::string& bytes, std::u16string_view text) {
  for (const char16_t unit : text) Append(bytes, unit, 2);
}

// The fewest bytes that hold `value` as a signed little-endian number, as
// run lists store both lengths and offsets.
int SignedWidth(std::int64_t value) {
  int width = 1;
  while (width < 8) {
    const std::int64_t limit = std::int64_t{1} << (8 * width - 1);
    if (value >= -limit && value < limit) break;
    ++width;
  }
  return width;
}

struct Extent {
  std::uint64_t lcn = 0;
  std::uint64_t clusters = 0;
};

std::string RunList(const std::vector<Extent>& extents) {
  std::string out;
  std::int64_t previous = 0;
  for (const Extent& extent : extents) {
    const auto length = static_cast<std::int64_t>(extent.clusters);
    const std::int64_t delta = static_cast<std::int64_t>(extent.lcn) - previous;
    const int length_width = SignedWidth(length);
    const int offset_width = SignedWidth(delta);
    out.push_back(static_cast<char>(offset_width << 4 | length_width));
    Append(out, static_cast<std::uint64_t>(length), length_width);
    Append(out, static_cast<std::uint64_t>(delta), offset_width);
    previous = static_cast<std::int64_t>(extent.lcn);
  }
  out.push_back('\0');
  return out;
}

// ---- Where everything lies on the volume ----

struct Layout {
  std::uint64_t sector = 0;
  std::uint64_t cluster = 0;
  std::uint64_t record = 0;
  std::uint64_t records = 0;  // in the table
  std::uint64_t records_per_unit = 0;
  std::uint64_t clusters_per_unit = 0;
  std::vector<Extent> table;  // in the order of the table's clusters
  // Per extension record of the table: the extents [first, second) it maps.
  std::vector<std::pair<std::size_t, std::size_t>> extension_groups;
  std::uint64_t first_extension_record = 0;
  Extent boot, mirror, log, attrdef, upcase, table_bitmap, bitmap, secure;
  std::string security_stream;
  std::uint64_t table_bitmap_bytes = 0;
  std::uint64_t bitmap_bytes = 0;
  std::uint64_t total_clusters = 0;

  std::uint64_t TableBytes() const { return records * record; }
  bool IsExtensionRecord(std::uint64_t number) const {
    return number >= first_extension_record && number - first_extension_record < extension_groups.size();
  }
  std::uint64_t FirstVcn(std::size_t extent) const {
    std::uint64_t vcn = 0;
    for (std::size_t i = 0; i < extent; ++i) vcn += table[i].clusters;
    return vcn;
  }
};

bool ShapeFits(const Shape& shape) {
  const std::uint64_t sector = shape.bytes_per_sector;
  const std::uint64_t cluster = shape.cluster_size;
  const std::uint64_t record = shape.record_size;
  if (!PowerOfTwo(sector) || sector < 512 || sector > 4096) return false;
  if (!PowerOfTwo(cluster) || cluster < sector || cluster > (2u << 20)) return false;
  if (!PowerOfTwo(record) || record < 1024 || record > 4096) return false;
  if (shape.mft_fragments < 1 || shape.mft_fragments > 1000) return false;
  if (shape.attribute_list && shape.mft_fragments > 1 && shape.first_extension_record < 12) return false;
  return true;
}

std::optional<Layout> Plan(const Shape& shape, std::uint64_t record_end, const std::string& security_stream = {}) {
  if (!ShapeFits(shape)) return std::nullopt;
  Layout layout;
  layout.sector = shape.bytes_per_sector;
  layout.cluster = shape.cluster_size;
  layout.record = shape.record_size;
  const std::uint64_t unit = std::max(layout.cluster, layout.record);
  layout.records_per_unit = unit / layout.record;
  layout.clusters_per_unit = unit / layout.cluster;

  const std::uint64_t fragments = shape.mft_fragments;
  const std::uint64_t extensions =
      shape.attribute_list && fragments > 1 ? std::min<std::uint64_t>(fragments - 1, kMaxExtensionRecords) : 0;
  layout.first_extension_record = shape.first_extension_record;
  // The first extent must hold every record that maps the others.
  const std::uint64_t head = std::max(kSystemRecords, extensions > 0 ? shape.first_extension_record + extensions : 0);
  const std::uint64_t head_units = CeilDiv(head, layout.records_per_unit);
  const std::uint64_t units =
      std::max(CeilDiv(std::max(record_end, head), layout.records_per_unit), head_units + fragments - 1);
  layout.records = units * layout.records_per_unit;

  std::vector<std::uint64_t> sizes(fragments, units / fragments);
  sizes[0] += units % fragments;
  if (sizes[0] < head_units) {
    sizes[0] = head_units;
    const std::uint64_t rest = units - head_units;
    for (std::uint64_t i = 1; i < fragments; ++i) sizes[i] = rest / (fragments - 1) + (i <= rest % (fragments - 1));
  }
  layout.table.resize(fragments);
  for (std::uint64_t i = 0; i < fragments; ++i) layout.table[i].clusters = sizes[i] * layout.clusters_per_unit;
  for (std::uint64_t g = 0; g < extensions; ++g) {
    const std::size_t begin = 1 + (fragments - 1) * g / extensions;
    const std::size_t end = 1 + (fragments - 1) * (g + 1) / extensions;
    layout.extension_groups.emplace_back(begin, end);
  }

  layout.table_bitmap_bytes = Align8(CeilDiv(layout.records, 8));
  layout.security_stream = security_stream;
  // Far enough apart that run offsets need more than one byte, near enough
  // that large clusters keep the image small.
  const std::uint64_t gap = std::clamp<std::uint64_t>((1u << 20) / layout.cluster, 3, 129);
  const auto place = [&](std::uint64_t bitmap_clusters) {
    std::uint64_t next = 0;
    const auto take = [&](std::uint64_t bytes) {
      const Extent extent{next, std::max<std::uint64_t>(1, CeilDiv(bytes, layout.cluster))};
      next += extent.clusters;
      return extent;
    };
    layout.boot = take(kBootBytes);
    layout.mirror = take(kMirroredRecords * layout.record);
    layout.log = take(kLogFileBytes);
    layout.attrdef = take(kAttributeDefinitionBytes);
    layout.upcase = take(kUpCaseBytes);
    layout.table_bitmap = take(layout.table_bitmap_bytes);
    layout.bitmap = take(bitmap_clusters * layout.cluster);
    if (!layout.security_stream.empty()) layout.secure = take(layout.security_stream.size());
    // The first extent comes first, the others from the far end backwards,
    // so the run list's offsets go both ways.
    next += gap;
    layout.table[0].lcn = next;
    next += layout.table[0].clusters + gap;
    for (std::size_t i = layout.table.size(); i-- > 1;) {
      layout.table[i].lcn = next;
      next += layout.table[i].clusters + gap;
    }
    return next;
  };
  std::uint64_t bitmap_clusters = 1;
  for (;;) {
    layout.total_clusters = place(bitmap_clusters);
    layout.bitmap_bytes = Align8(CeilDiv(layout.total_clusters, 8));
    const std::uint64_t needed = CeilDiv(layout.bitmap_bytes, layout.cluster);
    if (needed <= bitmap_clusters) break;
    bitmap_clusters = needed;
  }
  return layout;
}

std::uint64_t TableOffset(const Layout& layout, std::uint64_t number) {
  std::uint64_t unit = number / layout.records_per_unit;
  const std::uint64_t within = number % layout.records_per_unit * layout.record;
  for (const Extent& extent : layout.table) {
    const std::uint64_t units = extent.clusters / layout.clusters_per_unit;
    if (unit < units) return (extent.lcn + unit * layout.clusters_per_unit) * layout.cluster + within;
    unit -= units;
  }
  return 0;
}

// ---- Attributes and records ----

struct Attribute {
  std::uint32_t type = 0;
  std::u16string name;
  bool resident = true;
  bool indexed = false;
  std::string value;  // resident: the value; otherwise the run list
  std::uint64_t first_vcn = 0;
  std::uint64_t last_vcn = 0;
  std::uint64_t allocated = 0;
  std::uint64_t size = 0;
  std::uint16_t id = 0;
};

struct ListEntry {
  std::uint32_t type = 0;
  std::u16string name;
  std::uint64_t first_vcn = 0;
  std::uint64_t reference = 0;
  std::uint16_t id = 0;
};

struct PlannedRecord {
  std::uint64_t number = 0;
  std::uint16_t sequence = 1;
  std::uint16_t flags = 0;
  std::uint16_t links = 0;
  std::uint64_t base_reference = 0;
  bool torn = false;
  std::vector<Attribute> attributes;
  // Entries for attributes in other records; the record's own are added when
  // it has an attribute list.
  std::vector<ListEntry> listed_elsewhere;
};

Attribute Resident(std::uint32_t type, std::string value, std::u16string name = {}) {
  Attribute attribute;
  attribute.type = type;
  attribute.name = std::move(name);
  attribute.value = std::move(value);
  return attribute;
}

Attribute NonResident(const Layout& layout, std::uint32_t type, const std::vector<Extent>& extents,
                      std::uint64_t first_vcn, std::uint64_t size) {
  Attribute attribute;
  attribute.type = type;
  attribute.resident = false;
  attribute.value = RunList(extents);
  std::uint64_t clusters = 0;
  for (const Extent& extent : extents) clusters += extent.clusters;
  attribute.first_vcn = first_vcn;
  attribute.last_vcn = first_vcn + clusters - 1;
  attribute.allocated = clusters * layout.cluster;
  attribute.size = size;
  return attribute;
}

Attribute StandardInformation(std::uint32_t file_attributes, std::uint32_t security_id = 0) {
  std::string value(72, '\0');
  for (int i = 0; i < 4; ++i) Put(value, 8 * i, kTimestamp, 8);
  Put(value, 0x20, file_attributes, 4);
  Put(value, 0x34, security_id, 4);
  return Resident(kStandardInformation, std::move(value));
}

Attribute FileName(const Name& name, std::uint32_t flags, std::uint32_t reparse, std::uint64_t size) {
  std::string value(0x42, '\0');
  Put(value, 0, Reference(name.parent, name.parent_sequence), 8);
  for (int i = 0; i < 4; ++i) Put(value, 8 + 8 * i, kTimestamp, 8);
  Put(value, 0x28, size, 8);
  Put(value, 0x30, size, 8);
  Put(value, 0x38, flags, 4);
  Put(value, 0x3C, reparse, 4);
  const std::size_t length = std::min<std::size_t>(name.name.size(), 255);
  value[0x40] = static_cast<char>(length);
  value[0x41] = static_cast<char>(name.name_space);
  AppendUnits(value, std::u16string_view(name.name).substr(0, length));
  Attribute attribute = Resident(kFileName, std::move(value));
  attribute.indexed = true;
  return attribute;
}

struct IndexEntry {
  std::uint64_t reference = 0;
  std::string key;
};

// An index small enough to stay in its root; `entries` in collation order.
Attribute IndexRoot(const Layout& layout, std::u16string name, std::uint32_t indexed_type, std::uint32_t collation,
                    const std::vector<IndexEntry>& entries = {}) {
  std::string nodes;
  for (const IndexEntry& entry : entries) {
    const std::size_t start = nodes.size();
    const std::uint64_t length = Align8(0x10 + entry.key.size());
    Append(nodes, entry.reference, 8);
    Append(nodes, length, 2);
    Append(nodes, entry.key.size(), 2);
    Append(nodes, 0, 4);
    nodes += entry.key;
    nodes.resize(start + length, '\0');
  }
  Append(nodes, 0, 8);  // the end entry, naming nothing
  Append(nodes, 0x10, 2);
  Append(nodes, 0, 2);
  Append(nodes, 2, 4);
  std::string value;
  Append(value, indexed_type, 4);
  Append(value, collation, 4);
  Append(value, kIndexBlockSize, 4);
  const std::uint64_t block_units =
      kIndexBlockSize >= layout.cluster ? kIndexBlockSize / layout.cluster : kIndexBlockSize / kFixupBlock;
  Append(value, block_units, 4);
  Append(value, 0x10, 4);  // entries right after this header
  Append(value, 0x10 + nodes.size(), 4);
  Append(value, 0x10 + nodes.size(), 4);
  Append(value, 0, 4);  // no index blocks
  value += nodes;
  return Resident(kIndexRoot, std::move(value), std::move(name));
}

Attribute EmptyFolderIndex(const Layout& layout) { return IndexRoot(layout, u"$I30", kFileName, kCollateFileName); }

Attribute ReparsePoint(std::uint32_t tag) {
  std::string value;
  Append(value, tag, 4);
  Append(value, 0, 4);
  return Resident(kReparsePoint, std::move(value));
}

std::string AttributeListValue(std::vector<ListEntry> entries) {
  std::stable_sort(entries.begin(), entries.end(), [](const ListEntry& a, const ListEntry& b) {
    return a.type != b.type ? a.type < b.type : a.name < b.name;
  });
  std::string value;
  for (const ListEntry& entry : entries) {
    const std::size_t start = value.size();
    const std::uint64_t length = Align8(0x1A + 2 * entry.name.size());
    Append(value, entry.type, 4);
    Append(value, length, 2);
    Append(value, entry.name.size(), 1);
    Append(value, 0x1A, 1);
    Append(value, entry.first_vcn, 8);
    Append(value, entry.reference, 8);
    Append(value, entry.id, 2);
    AppendUnits(value, entry.name);
    value.resize(start + length, '\0');
  }
  return value;
}

// Attributes in type order with their ids, and the attribute list filled in.
void Finish(PlannedRecord& record) {
  std::stable_sort(record.attributes.begin(), record.attributes.end(), [](const Attribute& a, const Attribute& b) {
    return a.type != b.type ? a.type < b.type : a.name < b.name;
  });
  Attribute* list = nullptr;
  for (std::size_t i = 0; i < record.attributes.size(); ++i) {
    record.attributes[i].id = static_cast<std::uint16_t>(i);
    if (record.attributes[i].type == kAttributeList) list = &record.attributes[i];
  }
  if (list == nullptr) return;
  std::vector<ListEntry> entries;
  const std::uint64_t self = Reference(record.number, record.sequence);
  for (const Attribute& attribute : record.attributes) {
    if (attribute.type == kAttributeList) continue;
    entries.push_back({attribute.type, attribute.name, attribute.resident ? 0 : attribute.first_vcn, self,
                       attribute.id});
  }
  entries.insert(entries.end(), record.listed_elsewhere.begin(), record.listed_elsewhere.end());
  list->value = AttributeListValue(std::move(entries));
}

void EncodeAttribute(const Attribute& attribute, std::string& out, std::size_t at) {
  const std::size_t header = attribute.resident ? 0x18 : 0x40;
  const std::size_t body = Align8(header + 2 * attribute.name.size());
  const std::size_t length = Align8(body + attribute.value.size());
  Put(out, at, attribute.type, 4);
  Put(out, at + 4, length, 4);
  out[at + 8] = attribute.resident ? 0 : 1;
  out[at + 9] = static_cast<char>(attribute.name.size());
  Put(out, at + 0xA, header, 2);
  Put(out, at + 0xE, attribute.id, 2);
  if (attribute.resident) {
    Put(out, at + 0x10, attribute.value.size(), 4);
    Put(out, at + 0x14, body, 2);
    out[at + 0x16] = attribute.indexed ? 1 : 0;
  } else {
    Put(out, at + 0x10, attribute.first_vcn, 8);
    Put(out, at + 0x18, attribute.last_vcn, 8);
    Put(out, at + 0x20, body, 2);
    Put(out, at + 0x28, attribute.allocated, 8);
    Put(out, at + 0x30, attribute.size, 8);
    Put(out, at + 0x38, attribute.size, 8);
  }
  for (std::size_t i = 0; i < attribute.name.size(); ++i) Put(out, at + header + 2 * i, attribute.name[i], 2);
  std::memcpy(out.data() + at + body, attribute.value.data(), attribute.value.size());
}

std::size_t EncodedLength(const Attribute& attribute) {
  const std::size_t header = attribute.resident ? 0x18 : 0x40;
  return Align8(Align8(header + 2 * attribute.name.size()) + attribute.value.size());
}

std::uint32_t FirstAttributeOffset(std::uint64_t record_size) {
  return static_cast<std::uint32_t>(Align8(0x30 + 2 * (record_size / kFixupBlock + 1)));
}

// False when the attributes do not fit.
bool EncodeRecord(const PlannedRecord& record, std::uint64_t record_size, std::string& out) {
  out.assign(record_size, '\0');
  const std::uint64_t blocks = record_size / kFixupBlock;
  const std::uint32_t first = FirstAttributeOffset(record_size);
  std::memcpy(out.data(), "FILE", 4);
  Put(out, 0x04, 0x30, 2);
  Put(out, 0x06, blocks + 1, 2);
  Put(out, 0x10, record.sequence, 2);
  Put(out, 0x12, record.links, 2);
  Put(out, 0x14, first, 2);
  Put(out, 0x16, record.flags, 2);
  Put(out, 0x1C, record_size, 4);
  Put(out, 0x20, record.base_reference, 8);
  Put(out, 0x28, record.attributes.size(), 2);
  Put(out, 0x2A, record.number >> 32, 2);
  Put(out, 0x2C, record.number, 4);
  std::size_t at = first;
  for (const Attribute& attribute : record.attributes) {
    const std::size_t length = EncodedLength(attribute);
    if (at + length + 8 > record_size) return false;
    EncodeAttribute(attribute, out, at);
    at += length;
  }
  Put(out, at, 0xFFFFFFFF, 4);
  Put(out, 0x18, at + 8, 4);

  const auto sequence_number = static_cast<std::uint16_t>(1 + record.number % 0xFFFE);
  Put(out, 0x30, sequence_number, 2);
  for (std::uint64_t block = 0; block < blocks; ++block) {
    const std::size_t end = (block + 1) * kFixupBlock - 2;
    out[0x32 + 2 * block] = out[end];
    out[0x33 + 2 * block] = out[end + 1];
    const bool tear = record.torn && block + 1 == blocks;
    Put(out, end, static_cast<std::uint16_t>(sequence_number + (tear ? 1 : 0)), 2);
  }
  return true;
}

PlannedRecord CallerRecord(const Layout& layout, const Record& given, std::uint64_t number,
                           const std::vector<const Record*>* extensions) {
  PlannedRecord record;
  record.number = number;
  record.sequence = given.sequence;
  record.flags = static_cast<std::uint16_t>((given.in_use ? 0x1 : 0) | (given.folder ? 0x2 : 0));
  record.torn = given.torn;
  const std::uint32_t name_flags = given.attributes | (given.folder ? kFolderNameFlag : 0);
  const std::uint32_t reparse = given.reparse_tag.value_or(0);
  if (given.base_record != 0) {
    record.base_reference = Reference(given.base_record, given.base_sequence);
    for (const Name& name : given.names) record.attributes.push_back(FileName(name, name_flags, reparse, 0));
    Finish(record);
    return record;
  }
  record.attributes.push_back(StandardInformation(given.attributes, given.security_id));
  for (const Name& name : given.names) {
    record.attributes.push_back(FileName(name, name_flags, reparse, 0));
    if (name.name_space != kDos) ++record.links;
  }
  record.attributes.push_back(given.folder ? EmptyFolderIndex(layout) : Resident(kData, {}));
  if (given.reparse_tag) record.attributes.push_back(ReparsePoint(*given.reparse_tag));
  if (extensions != nullptr && !extensions->empty()) {
    record.attributes.push_back(Resident(kAttributeList, {}));
    for (const Record* extension : *extensions) {
      for (std::size_t i = 0; i < extension->names.size(); ++i) {
        record.listed_elsewhere.push_back({kFileName, {}, 0, Reference(extension->number, extension->sequence),
                                           static_cast<std::uint16_t>(i)});
        if (extension->names[i].name_space != kDos) ++record.links;
      }
    }
  }
  Finish(record);
  return record;
}

PlannedRecord SystemFile(std::uint64_t number, std::u16string name, std::vector<Attribute> extras,
                         std::uint64_t size = 0, bool folder = false) {
  PlannedRecord record;
  record.number = number;
  record.sequence = static_cast<std::uint16_t>(number == 0 ? 1 : number);
  record.flags = folder ? 0x3 : 0x1;
  record.links = 1;
  record.attributes.push_back(StandardInformation(kHiddenSystem));
  const Name file_name{kRoot, kRoot, std::move(name), kWin32AndDos};
  record.attributes.push_back(FileName(file_name, kHiddenSystem | (folder ? kFolderNameFlag : 0), 0, size));
  for (Attribute& extra : extras) record.attributes.push_back(std::move(extra));
  return record;
}

PlannedRecord TableRecord(const Layout& layout) {
  const bool listed = !layout.extension_groups.empty();
  const std::vector<Extent> mapped = listed ? std::vector<Extent>{layout.table[0]} : layout.table;
  std::vector<Attribute> extras;
  extras.push_back(NonResident(layout, kData, mapped, 0, layout.TableBytes()));
  extras.back().allocated = layout.TableBytes();
  extras.push_back(NonResident(layout, kBitmap, {layout.table_bitmap}, 0, layout.table_bitmap_bytes));
  if (listed) extras.push_back(Resident(kAttributeList, {}));
  PlannedRecord record = SystemFile(0, u"$MFT", std::move(extras), layout.TableBytes());
  for (std::size_t g = 0; g < layout.extension_groups.size(); ++g) {
    record.listed_elsewhere.push_back({kData, {}, layout.FirstVcn(layout.extension_groups[g].first),
                                       Reference(layout.first_extension_record + g, kTableExtensionSequence), 0});
  }
  Finish(record);
  return record;
}

PlannedRecord TableExtensionRecord(const Layout& layout, std::uint64_t number) {
  const auto [begin, end] = layout.extension_groups[number - layout.first_extension_record];
  PlannedRecord record;
  record.number = number;
  record.sequence = kTableExtensionSequence;
  record.flags = 0x1;
  record.base_reference = Reference(0, kTableSequence);
  const std::vector<Extent> extents(layout.table.begin() + static_cast<std::ptrdiff_t>(begin),
                                    layout.table.begin() + static_cast<std::ptrdiff_t>(end));
  // Sizes are only kept where the stream starts.
  Attribute data = NonResident(layout, kData, extents, layout.FirstVcn(begin), 0);
  data.allocated = 0;
  record.attributes.push_back(std::move(data));
  Finish(record);
  return record;
}

// The root lists the system files that tools look up by name.
Attribute RootIndex(const Layout& layout) {
  std::vector<IndexEntry> entries;
  for (const auto& [number, name] : {std::pair<std::uint64_t, std::u16string>{11, u"$Extend"}, {9, u"$Secure"}}) {
    const Name file_name{kRoot, kRoot, name, kWin32AndDos};
    entries.push_back({Reference(number, static_cast<std::uint16_t>(number)),
                       FileName(file_name, kHiddenSystem | (number == 11 ? kFolderNameFlag : 0), 0, 0).value});
  }
  return IndexRoot(layout, u"$I30", kFileName, kCollateFileName, entries);
}

std::string VolumeInformation() {
  std::string value(12, '\0');
  value[8] = 3;  // version 3.1
  value[9] = 1;
  return value;
}

// Records 0 to 15 as a fresh volume has them.
PlannedRecord SystemRecord(const Layout& layout, std::uint64_t number) {
  const auto data = [&](const Extent& extent, std::uint64_t size) {
    return std::vector<Attribute>{NonResident(layout, kData, {extent}, 0, size)};
  };
  PlannedRecord record;
  switch (number) {
    case 0: return TableRecord(layout);
    case 1:
      record = SystemFile(1, u"$MFTMirr", data(layout.mirror, kMirroredRecords * layout.record),
                          kMirroredRecords * layout.record);
      break;
    case 2: record = SystemFile(2, u"$LogFile", data(layout.log, kLogFileBytes), kLogFileBytes); break;
    case 3: {
      std::string label;
      AppendUnits(label, u"synthetic");
      record = SystemFile(3, u"$Volume", {Resident(kVolumeName, std::move(label)),
                                          Resident(kVolumeInformation, VolumeInformation()), Resident(kData, {})});
      break;
    }
    case 4:
      record = SystemFile(4, u"$AttrDef", data(layout.attrdef, kAttributeDefinitionBytes), kAttributeDefinitionBytes);
      break;
    case 5: record = SystemFile(5, u".", {RootIndex(layout)}, 0, true); break;
    case 6: record = SystemFile(6, u"$Bitmap", data(layout.bitmap, layout.bitmap_bytes), layout.bitmap_bytes); break;
    case 7: record = SystemFile(7, u"$Boot", data(layout.boot, kBootBytes), kBootBytes); break;
    case 8: record = SystemFile(8, u"$BadClus", {Resident(kData, {})}); break;
    case 9: {
      Attribute stream = Resident(kData, {}, u"$SDS");
      if (!layout.security_stream.empty()) {
        stream = NonResident(layout, kData, {layout.secure}, 0, layout.security_stream.size());
        stream.name = u"$SDS";
      }
      record = SystemFile(9, u"$Secure",
                          {std::move(stream), IndexRoot(layout, u"$SDH", 0, kCollateSecurityHash),
                           IndexRoot(layout, u"$SII", 0, kCollateNumber)});
      break;
    }
    case 10: record = SystemFile(10, u"$UpCase", data(layout.upcase, kUpCaseBytes), kUpCaseBytes); break;
    case 11: record = SystemFile(11, u"$Extend", {EmptyFolderIndex(layout)}, 0, true); break;
    default:
      // Reserved: formatted, never in use.
      record.number = number;
      record.sequence = static_cast<std::uint16_t>(number);
      break;
  }
  Finish(record);
  return record;
}

// ---- The system files' data ----

std::string BootSector(const Layout& layout) {
  std::string sector(layout.sector, '\0');
  std::memcpy(sector.data(), "\xEB\x52\x90NTFS    ", 11);
  Put(sector, 0x0B, layout.sector, 2);
  const std::uint64_t sectors_per_cluster = layout.cluster / layout.sector;
  sector[0x0D] = static_cast<char>(sectors_per_cluster <= 128 ? sectors_per_cluster : 256 - Log2(sectors_per_cluster));
  sector[0x15] = static_cast<char>(0xF8);
  Put(sector, 0x18, 63, 2);
  Put(sector, 0x1A, 255, 2);
  Put(sector, 0x24, 0x00800080, 4);
  Put(sector, 0x28, layout.total_clusters * sectors_per_cluster, 8);
  Put(sector, 0x30, layout.table[0].lcn, 8);
  Put(sector, 0x38, layout.mirror.lcn, 8);
  const auto per_cluster = [&](std::uint64_t bytes) {
    return bytes >= layout.cluster ? static_cast<std::int64_t>(bytes / layout.cluster) : -Log2(bytes);
  };
  Put(sector, 0x40, static_cast<std::uint64_t>(per_cluster(layout.record)), 1);
  Put(sector, 0x44, static_cast<std::uint64_t>(per_cluster(kIndexBlockSize)), 1);
  Put(sector, 0x48, 0x1A2B3C4D5E6F7081ULL, 8);
  sector[0x1FE] = 0x55;
  sector[0x1FF] = static_cast<char>(0xAA);
  return sector;
}

std::string AttributeDefinitions() {
  struct Definition {
    std::u16string_view label;
    std::uint32_t type;
    std::uint32_t collation;
    std::uint32_t flags;  // 0x02 indexed, 0x40 always resident, 0x80 may be non-resident
    std::uint64_t min_size;
    std::uint64_t max_size;
  };
  constexpr std::uint64_t kAny = ~std::uint64_t{0};
  const Definition definitions[] = {
      {u"$STANDARD_INFORMATION", 0x10, 0, 0x40, 0x30, 0x48},
      {u"$ATTRIBUTE_LIST", 0x20, 0, 0x80, 0, kAny},
      {u"$FILE_NAME", 0x30, 1, 0x42, 0x44, 0x242},
      {u"$OBJECT_ID", 0x40, 0, 0x40, 0, 0x100},
      {u"$SECURITY_DESCRIPTOR", 0x50, 0, 0x80, 0, kAny},
      {u"$VOLUME_NAME", 0x60, 0, 0x40, 2, 0x100},
      {u"$VOLUME_INFORMATION", 0x70, 0, 0x40, 0xC, 0xC},
      {u"$DATA", 0x80, 0, 0, 0, kAny},
      {u"$INDEX_ROOT", 0x90, 0, 0x40, 0, kAny},
      {u"$INDEX_ALLOCATION", 0xA0, 0, 0x80, 0, kAny},
      {u"$BITMAP", 0xB0, 0, 0x80, 0, kAny},
      {u"$REPARSE_POINT", 0xC0, 0, 0x80, 0, 0x4000},
      {u"$EA_INFORMATION", 0xD0, 0, 0x40, 8, 8},
      {u"$EA", 0xE0, 0, 0, 0, 0x10000},
      {u"$LOGGED_UTILITY_STREAM", 0x100, 0, 0x80, 0, 0x10000},
  };
  std::string table(kAttributeDefinitionBytes, '\0');
  std::size_t at = 0;
  for (const Definition& definition : definitions) {
    for (std::size_t i = 0; i < definition.label.size(); ++i) Put(table, at + 2 * i, definition.label[i], 2);
    Put(table, at + 0x80, definition.type, 4);
    Put(table, at + 0x88, definition.collation, 4);
    Put(table, at + 0x8C, definition.flags, 4);
    Put(table, at + 0x90, definition.min_size, 8);
    Put(table, at + 0x98, definition.max_size, 8);
    at += 160;
  }
  return table;
}

// Upper case for ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic and the
// full-width Latin letters; every other unit maps to itself.
std::string UpCaseTable() {
  std::vector<char16_t> upper(65536);
  for (std::size_t c = 0; c < upper.size(); ++c) upper[c] = static_cast<char16_t>(c);
  const auto shift = [&](std::size_t first, std::size_t last, int by) {
    for (std::size_t c = first; c <= last; ++c) upper[c] = static_cast<char16_t>(static_cast<int>(c) - by);
  };
  const auto pairs = [&](std::size_t first_lower, std::size_t last_lower) {
    for (std::size_t c = first_lower; c <= last_lower; c += 2) upper[c] = static_cast<char16_t>(c - 1);
  };
  shift(u'a', u'z', 0x20);
  shift(0xE0, 0xFE, 0x20);
  upper[0xF7] = 0xF7;
  upper[0xFF] = 0x178;
  upper[0xB5] = 0x39C;
  pairs(0x101, 0x137);
  pairs(0x13A, 0x148);
  pairs(0x14B, 0x177);
  pairs(0x17A, 0x17E);
  shift(0x3B1, 0x3C9, 0x20);
  upper[0x3C2] = 0x3A3;
  shift(0x430, 0x44F, 0x20);
  shift(0x450, 0x45F, 0x50);
  shift(0xFF41, 0xFF5A, 0x20);
  std::string table;
  table.reserve(kUpCaseBytes);
  for (const char16_t unit : upper) Append(table, unit, 2);
  return table;
}

std::string ClusterBitmap(const Layout& layout) {
  std::string bitmap(layout.bitmap_bytes, '\0');
  const auto mark = [&](const Extent& extent) {
    for (std::uint64_t c = extent.lcn; c < extent.lcn + extent.clusters; ++c) bitmap[c / 8] |= static_cast<char>(1 << (c % 8));
  };
  for (const Extent* extent : {&layout.boot, &layout.mirror, &layout.log, &layout.attrdef, &layout.upcase,
                               &layout.table_bitmap, &layout.bitmap, &layout.secure})
    mark(*extent);
  for (const Extent& extent : layout.table) mark(extent);
  return bitmap;
}

// ---- Writing ----

class Sink {
 public:
  virtual ~Sink() = default;
  virtual bool Write(std::uint64_t offset, std::string_view bytes) = 0;
};

class FileSink final : public Sink {
 public:
  explicit FileSink(const std::filesystem::path& path)
      : out_(path, std::ios::binary | std::ios::out | std::ios::trunc) {}
  bool Write(std::uint64_t offset, std::string_view bytes) override {
    // Seeking past the end leaves a hole: the zeros between cost no disk.
    out_.seekp(static_cast<std::streamoff>(offset));
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out_);
  }
  bool Close() {
    out_.close();
    return !out_.fail();
  }

 private:
  std::ofstream out_;
};

class StringSink final : public Sink {
 public:
  explicit StringSink(std::string& image) : image_(image) {}
  bool Write(std::uint64_t offset, std::string_view bytes) override {
    if (offset + bytes.size() > image_.size()) image_.resize(offset + bytes.size(), '\0');
    std::memcpy(image_.data() + offset, bytes.data(), bytes.size());
    return true;
  }

 private:
  std::string& image_;
};

// Gathers records that lie one after another into one write; zero records
// are skipped, leaving holes.
class TableStream {
 public:
  explicit TableStream(Sink& sink) : sink_(sink) {}
  bool Add(std::uint64_t offset, std::string_view record) {
    if (offset != start_ + pending_.size() || pending_.size() >= kWriteChunk) {
      if (!Flush()) return false;
      start_ = offset;
    }
    pending_.append(record);
    return true;
  }
  bool Flush() {
    const bool written = pending_.empty() || sink_.Write(start_, pending_);
    pending_.clear();
    return written;
  }

 private:
  Sink& sink_;
  std::string pending_;
  std::uint64_t start_ = 0;
};

// The caller's record with that number, or null.
using GivenRecord = std::function<const Record*(std::uint64_t number)>;
using Extensions = std::map<std::uint64_t, std::vector<const Record*>>;

bool WriteVolume(Sink& sink, const Layout& layout, const GivenRecord& given, const Extensions& extensions) {
  const std::string boot = BootSector(layout);
  if (!sink.Write(0, boot)) return false;
  if (!sink.Write(layout.attrdef.lcn * layout.cluster, AttributeDefinitions())) return false;
  if (!sink.Write(layout.upcase.lcn * layout.cluster, UpCaseTable())) return false;
  if (!sink.Write(layout.bitmap.lcn * layout.cluster, ClusterBitmap(layout))) return false;
  if (!layout.security_stream.empty() && !sink.Write(layout.secure.lcn * layout.cluster, layout.security_stream)) {
    return false;
  }

  std::string in_use(layout.table_bitmap_bytes, '\0');
  std::string mirror(kMirroredRecords * layout.record, '\0');
  TableStream stream(sink);
  std::string bytes;
  std::uint64_t number = 0;
  for (const Extent& extent : layout.table) {
    const std::uint64_t records = extent.clusters / layout.clusters_per_unit * layout.records_per_unit;
    for (std::uint64_t i = 0; i < records; ++i, ++number) {
      PlannedRecord planned;
      if (const Record* record = given(number)) {
        const auto found = extensions.find(number);
        planned = CallerRecord(layout, *record, number, found == extensions.end() ? nullptr : &found->second);
      } else if (number < kSystemRecords || layout.IsExtensionRecord(number)) {
        planned = layout.IsExtensionRecord(number) ? TableExtensionRecord(layout, number) : SystemRecord(layout, number);
      } else {
        continue;
      }
      if (!EncodeRecord(planned, layout.record, bytes)) return false;
      if (planned.flags & 0x1) in_use[number / 8] |= static_cast<char>(1 << (number % 8));
      if (number < kMirroredRecords) bytes.copy(mirror.data() + number * layout.record, layout.record);
      if (!stream.Add(extent.lcn * layout.cluster + i * layout.record, bytes)) return false;
    }
  }
  if (!stream.Flush()) return false;
  if (!sink.Write(layout.table_bitmap.lcn * layout.cluster, in_use)) return false;
  if (!sink.Write(layout.mirror.lcn * layout.cluster, mirror)) return false;
  // The backup boot sector, just past the sectors the volume counts.
  return sink.Write(layout.total_clusters * layout.cluster, boot);
}

std::filesystem::path PathOf(const std::string& text) {
#ifdef _WIN32
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
#else
  return std::filesystem::path(text);
#endif
}

struct Indexed {
  std::map<std::uint64_t, const Record*> by_number;
  Extensions extensions;
  std::uint64_t record_end = 0;
};

Indexed IndexRecords(const std::vector<Record>& records) {
  Indexed indexed;
  for (const Record& record : records) {
    indexed.by_number[record.number] = &record;
    indexed.record_end = std::max(indexed.record_end, record.number + 1);
  }
  for (const auto& [number, record] : indexed.by_number) {
    if (record->base_record != 0 && record->in_use) indexed.extensions[record->base_record].push_back(record);
  }
  return indexed;
}

bool WriteIndexed(Sink& sink, const Shape& shape, const Indexed& indexed, const std::string& security_stream) {
  const std::optional<Layout> layout = Plan(shape, indexed.record_end, security_stream);
  if (!layout) return false;
  const auto given = [&](std::uint64_t number) -> const Record* {
    const auto found = indexed.by_number.find(number);
    return found == indexed.by_number.end() ? nullptr : found->second;
  };
  return WriteVolume(sink, *layout, given, indexed.extensions);
}

}  // namespace

std::string ImageBytes(const Shape& shape, const std::vector<Record>& records, const std::string& security_stream) {
  std::string image;
  StringSink sink(image);
  if (!WriteIndexed(sink, shape, IndexRecords(records), security_stream)) return {};
  return image;
}

bool WriteImage(const std::string& path, const Shape& shape, const std::vector<Record>& records,
                const std::string& security_stream) {
  FileSink sink(PathOf(path));
  const bool written = WriteIndexed(sink, shape, IndexRecords(records), security_stream);
  return sink.Close() && written;
}

bool WriteImage(const std::string& path, const Shape& shape, std::uint64_t first, std::uint64_t count,
                const std::function<Record(std::uint64_t number)>& make) {
  const std::optional<Layout> layout = Plan(shape, first + count);
  if (!layout) return false;
  FileSink sink(PathOf(path));
  Record current;
  const auto given = [&](std::uint64_t number) -> const Record* {
    if (number < first || number - first >= count) return nullptr;
    current = make(number);
    return &current;
  };
  const bool written = WriteVolume(sink, *layout, given, {});
  return sink.Close() && written;
}

std::string OwnerOnlyDescriptor(std::uint32_t owner_rid) {
  std::string descriptor;
  Append(descriptor, 1, 1);       // revision
  Append(descriptor, 0, 1);
  Append(descriptor, 0x8000, 2);  // self-relative
  Append(descriptor, 20, 4);      // the owner, right after this header
  descriptor.append(12, '\0');    // no group, no access lists
  Append(descriptor, 1, 1);       // the owner's revision, its 5 sub-authorities
  Append(descriptor, 5, 1);
  descriptor.append(5, '\0');     // authority 5, big-endian in six bytes
  descriptor += '\5';
  for (const std::uint32_t sub : {21u, 1u, 2u, 3u, owner_rid}) Append(descriptor, sub, 4);
  return descriptor;
}

std::string SecurityStream(const std::vector<SecurityEntry>& entries) {
  std::string stream;
  std::uint64_t block = 0;
  const auto mirror = [&] {
    stream.resize(block + kSecurityBlockBytes, '\0');
    stream += stream.substr(block, kSecurityBlockBytes);
    block += 2 * kSecurityBlockBytes;
  };
  for (const SecurityEntry& entry : entries) {
    const std::uint64_t length = kSecurityEntryHeaderBytes + entry.descriptor.size();
    std::uint64_t at = (stream.size() + 15) & ~std::uint64_t{15};
    if (at + length > block + kSecurityBlockBytes) {
      mirror();
      at = block;
    }
    stream.resize(at, '\0');
    std::uint32_t hash = 0;
    for (const char c : entry.descriptor) hash = (hash << 3 | hash >> 29) + static_cast<unsigned char>(c);
    Append(stream, hash, 4);
    Append(stream, entry.id, 4);
    Append(stream, at, 8);
    Append(stream, length, 4);
    stream += entry.descriptor;
  }
  if (stream.size() > block) mirror();
  return stream;
}

std::uint64_t TableRecords(const Shape& shape, std::uint64_t record_end) {
  const std::optional<Layout> layout = Plan(shape, record_end);
  return layout ? layout->records : 0;
}

std::uint64_t RecordOffset(const Shape& shape, std::uint64_t record_end, std::uint64_t number) {
  const std::optional<Layout> layout = Plan(shape, record_end);
  if (!layout || number >= layout->records) return 0;
  return TableOffset(*layout, number);
}

std::uint64_t TableRunListOffset(const Shape& shape, std::uint64_t record_end) {
  const std::optional<Layout> layout = Plan(shape, record_end);
  if (!layout) return 0;
  const PlannedRecord record = TableRecord(*layout);
  std::size_t at = FirstAttributeOffset(layout->record);
  for (const Attribute& attribute : record.attributes) {
    if (attribute.type == kData) {
      return TableOffset(*layout, 0) + at + Align8(0x40 + 2 * attribute.name.size());
    }
    at += EncodedLength(attribute);
  }
  return 0;
}

}  // namespace quellor::testing::ntfs_image
