#include "ntfs/table_map.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "ntfs/file_record.h"

namespace quellor::ntfs {

namespace {

// An attribute list longer than this belongs to no real table: its extension
// records would map more than any volume holds.
constexpr std::uint64_t kMaxAttributeList = 1u << 20;
// More extents, or extension records holding them, than this is no table a
// volume holds, only a damaged map (a table in 65,536 pieces needs a few
// hundred extension records).
constexpr std::size_t kMaxExtents = 1u << 16;
constexpr std::size_t kMaxExtensionRecords = 4096;

// The extension records an attribute list names for the table's unnamed data.
bool ParseAttributeList(ByteView list, std::vector<std::uint64_t>& out) {
  for (std::size_t at = 0; list.Has(at, 0x1A);) {
    const std::uint16_t length = list.U16(at + 4);
    if (length < 0x1A || !list.Has(at, length)) return false;
    const FileReference where = SplitReference(list.U64(at + 0x10));
    if (list.U32(at) == kData && list.U8(at + 6) == 0 && where.record != 0) {
      out.push_back(where.record);
    }
    at += length;
  }
  return true;
}

}  // namespace

bool CollectDataExtents(const unsigned char* record, const RecordHeader& header, std::uint64_t volume_clusters,
                        ExtentMap& out, std::uint64_t& data_size) {
  AttributeReader attributes(record, header);
  Attribute a;
  std::vector<Extent> decoded;
  while (attributes.Next(a)) {
    if (a.type != kData || a.named || a.resident) continue;
    if (a.first_vcn == 0) data_size = a.data_size;
    decoded.clear();
    if (!DecodeRunList(a.runs, a.first_vcn, volume_clusters, decoded)) return false;
    for (const Extent& e : decoded) {
      if (!out.emplace(e.vcn, e).second) return false;
    }
  }
  return !attributes.Malformed();
}

bool ExtentsCover(const ExtentMap& extents, std::uint64_t size, std::uint32_t cluster_size) {
  std::uint64_t next = 0;
  for (const auto& [vcn, e] : extents) {
    if (vcn != next) return false;
    next += e.length;
  }
  return next >= (size + cluster_size - 1) / cluster_size;
}

std::unique_ptr<TableMap> TableMap::Open(ByteSource& source, VolumeError& error) {
  unsigned char sector[kBootSectorSize];
  if (!source.ReadAt(0, sector, sizeof sector)) {
    error = VolumeError::CannotRead;
    return nullptr;
  }
  const std::optional<VolumeGeometry> geometry = ParseBootSector(ByteView(sector, sizeof sector), error);
  if (!geometry) return nullptr;
  std::unique_ptr<TableMap> map(new TableMap(source, *geometry));
  std::vector<unsigned char> first(geometry->record_size);
  if (!source.ReadAt(geometry->table_cluster * geometry->cluster_size, first.data(), first.size())) {
    error = VolumeError::CannotRead;
    return nullptr;
  }
  error = map->GatherExtents(first.data());
  if (error != VolumeError::None) return nullptr;
  return map;
}

VolumeError TableMap::GatherExtents(unsigned char* first_record) {
  const VolumeGeometry& g = geometry_;
  const std::uint64_t volume_clusters = g.volume_size / g.cluster_size;
  RecordHeader header;
  if (OpenRecord(first_record, g.record_size, header) != RecordState::InUse || header.base.record != 0) {
    return VolumeError::BadTableRecord;
  }
  std::uint64_t data_size = 0;
  if (!CollectDataExtents(first_record, header, volume_clusters, extents_, data_size) ||
      extents_.size() > kMaxExtents) {
    return VolumeError::BadTableMap;
  }

  // Fragmented past one record: the attribute list names the others.
  std::vector<std::uint64_t> listed;
  AttributeReader attributes(first_record, header);
  Attribute a;
  while (attributes.Next(a)) {
    if (a.type != kAttributeList) continue;
    if (a.resident) {
      if (!ParseAttributeList(a.value, listed)) return VolumeError::BadTableMap;
    } else {
      std::vector<Extent> decoded;
      ExtentMap list_extents;
      if (a.first_vcn != 0 || a.data_size > kMaxAttributeList || !DecodeRunList(a.runs, 0, volume_clusters, decoded)) {
        return VolumeError::BadTableMap;
      }
      for (const Extent& e : decoded) list_extents.emplace(e.vcn, e);
      if (!ExtentsCover(list_extents, a.data_size, g.cluster_size)) return VolumeError::BadTableMap;
      std::vector<unsigned char> list(a.data_size);
      if (!ReadValue(list_extents, a.data_size, list.data())) return VolumeError::CannotRead;
      if (!ParseAttributeList(ByteView(list.data(), list.size()), listed)) return VolumeError::BadTableMap;
    }
  }
  if (attributes.Malformed()) return VolumeError::BadTableRecord;

  // Each extension record lies in clusters already mapped (a later one can
  // lie in extents an earlier one adds); one that never does is a broken map.
  std::set<std::uint64_t> pending(listed.begin(), listed.end());
  if (pending.size() > kMaxExtensionRecords) return VolumeError::BadTableMap;
  std::vector<unsigned char> record(g.record_size);
  while (!pending.empty()) {
    bool progress = false;
    for (auto it = pending.begin(); it != pending.end();) {
      if (!ReadBytes(extents_, *it * g.record_size, g.record_size, record.data())) {
        ++it;
        continue;
      }
      RecordHeader extension;
      if (OpenRecord(record.data(), g.record_size, extension) != RecordState::InUse ||
          extension.base.record != 0) {
        return VolumeError::BadTableMap;
      }
      std::uint64_t unused = 0;
      if (!CollectDataExtents(record.data(), extension, volume_clusters, extents_, unused) ||
          extents_.size() > kMaxExtents) {
        return VolumeError::BadTableMap;
      }
      it = pending.erase(it);
      progress = true;
    }
    if (!progress) return VolumeError::BadTableMap;
  }
  if (data_size < g.record_size || !ExtentsCover(extents_, data_size, g.cluster_size)) return VolumeError::BadTableMap;
  // The table lies on the source, every cluster of it: what the index then
  // allocates a record is bounded by the source's size, whatever a damaged
  // map claims.
  for (const auto& [vcn, e] : extents_) {
    if (e.sparse) return VolumeError::BadTableMap;
    if ((e.lcn + e.length) * g.cluster_size > source_.Size()) return VolumeError::CannotRead;
  }
  record_count_ = data_size / g.record_size;
  if (record_count_ > 0xFFFFFFFFull) return VolumeError::TooLarge;
  return VolumeError::None;
}

bool TableMap::ReadBytes(const ExtentMap& extents, std::uint64_t at, std::uint64_t size, unsigned char* out) const {
  const std::uint64_t cluster = geometry_.cluster_size;
  auto e = extents.upper_bound(at / cluster);
  if (e == extents.begin()) return false;
  --e;
  while (size > 0) {
    if (e == extents.end()) return false;
    const std::uint64_t extent_start = e->second.vcn * cluster;
    const std::uint64_t extent_end = (e->second.vcn + e->second.length) * cluster;
    if (at < extent_start || at >= extent_end) return false;
    const std::uint64_t piece = std::min(size, extent_end - at);
    if (e->second.sparse) {
      std::memset(out, 0, piece);
    } else if (!source_.ReadAt(e->second.lcn * cluster + (at - extent_start), out, piece)) {
      return false;
    }
    out += piece;
    at += piece;
    size -= piece;
    ++e;
  }
  return true;
}

bool TableMap::ReadRecords(std::uint64_t first, std::uint64_t count, unsigned char* buffer) const {
  return ReadBytes(extents_, first * geometry_.record_size, count * geometry_.record_size, buffer);
}

bool TableMap::ReadValue(const ExtentMap& extents, std::uint64_t size, unsigned char* buffer) const {
  return ReadBytes(extents, 0, size, buffer);
}

}  // namespace quellor::ntfs
