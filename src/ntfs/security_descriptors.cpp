#include "ntfs/security_descriptors.h"

#include <algorithm>

namespace quellor::ntfs {

namespace {

constexpr std::uint64_t kSecureRecord = 9;
constexpr char16_t kStreamName[] = u"$SDS";
// The stream is written in blocks, each followed by a mirror copy of itself.
constexpr std::uint64_t kBlockBytes = 256 * 1024;
constexpr std::size_t kEntryHeaderBytes = 20;
constexpr std::uint16_t kSelfRelative = 0x8000;

bool IsStreamName(ByteView name) {
  constexpr std::size_t units = sizeof kStreamName / sizeof kStreamName[0] - 1;
  if (name.size() != 2 * units) return false;
  for (std::size_t i = 0; i < units; ++i) {
    if (name.U16(2 * i) != kStreamName[i]) return false;
  }
  return true;
}

// The entries of one block, from its start until a header that cannot be one.
void ParseBlock(ByteView stream, std::uint64_t block, const std::vector<std::uint32_t>& wanted,
                SecurityDescriptors& out, std::size_t& entries) {
  const std::uint64_t end = std::min<std::uint64_t>(block + kBlockBytes, stream.size());
  for (std::uint64_t at = block; at + kEntryHeaderBytes <= end && entries < kMaxSecurityEntries; ++entries) {
    const std::uint32_t id = stream.U32(at + 4);
    const std::uint64_t own_offset = stream.U64(at + 8);
    const std::uint32_t length = stream.U32(at + 16);
    if (id == 0 || own_offset != at || length < kEntryHeaderBytes + kSecurityDescriptorHeaderBytes ||
        length > end - at) {
      return;
    }
    const std::string_view descriptor(reinterpret_cast<const char*>(stream.data() + at + kEntryHeaderBytes),
                                      length - kEntryHeaderBytes);
    // A damaged descriptor costs its own entry only: its header still says where the next one is.
    if (IsSelfRelativeDescriptor(descriptor) && std::binary_search(wanted.begin(), wanted.end(), id)) {
      out.emplace_back(id, std::string(descriptor));
    }
    at += (std::uint64_t{length} + 15) & ~std::uint64_t{15};
  }
}

// The parts of a descriptor the system's access check reads, each checked
// to lie inside it: the descriptor may come from a damaged volume, or from a
// helper that is not ours.
constexpr std::uint64_t kSidHeaderBytes = 8;
constexpr std::uint8_t kMaxSubAuthorities = 15;
constexpr std::uint64_t kAclHeaderBytes = 8;
constexpr std::uint64_t kAceHeaderBytes = 4;
constexpr std::uint64_t kGuidBytes = 16;

// A SID at `at` that ends by `end`.
bool SidFits(ByteView v, std::uint64_t at, std::uint64_t end) {
  if (at < kSecurityDescriptorHeaderBytes || at + kSidHeaderBytes > end) return false;
  const std::uint8_t count = v.U8(at + 1);
  return v.U8(at) == 1 && count <= kMaxSubAuthorities && at + kSidHeaderBytes + 4u * count <= end;
}

// Where an access control entry's SID starts, for the kinds the system
// knows; 0 for any other kind, which is not taken.
std::uint64_t SidOffsetInAce(ByteView v, std::uint64_t ace, std::uint64_t ace_end) {
  switch (v.U8(ace)) {
    case 0x00: case 0x01: case 0x02: case 0x03:              // allowed, denied, audit, alarm
    case 0x09: case 0x0A: case 0x0D: case 0x0E:              // their callback kinds
    case 0x11: case 0x12: case 0x13: case 0x14: case 0x15:   // label, attribute, policy, trust, filter
      return 8;
    case 0x05: case 0x06: case 0x07: case 0x08:              // the object kinds: flags, then GUIDs
    case 0x0B: case 0x0C: case 0x0F: case 0x10: {
      if (ace + 12 > ace_end) return 0;
      const std::uint32_t flags = v.U32(ace + 8);
      return 12 + ((flags & 1) ? kGuidBytes : 0) + ((flags & 2) ? kGuidBytes : 0);
    }
    default:
      return 0;
  }
}

// An access control list at `at` whose entries all lie within it.
bool AclFits(ByteView v, std::uint64_t at) {
  if (at < kSecurityDescriptorHeaderBytes || at + kAclHeaderBytes > v.size()) return false;
  const std::uint8_t revision = v.U8(at);
  const std::uint64_t size = v.U16(at + 2), count = v.U16(at + 4);
  if ((revision != 2 && revision != 4) || size < kAclHeaderBytes || at + size > v.size()) return false;
  const std::uint64_t end = at + size;
  std::uint64_t ace = at + kAclHeaderBytes;
  for (std::uint64_t i = 0; i < count; ++i) {
    if (ace + kAceHeaderBytes > end) return false;
    const std::uint64_t ace_size = v.U16(ace + 2);
    if (ace_size < kAceHeaderBytes || ace_size % 4 != 0 || ace + ace_size > end) return false;
    const std::uint64_t sid = SidOffsetInAce(v, ace, ace + ace_size);
    if (sid == 0 || !SidFits(v, ace + sid, ace + ace_size)) return false;
    ace += ace_size;
  }
  return true;
}

}  // namespace

bool IsSelfRelativeDescriptor(std::string_view bytes) {
  if (bytes.size() < kSecurityDescriptorHeaderBytes || bytes.size() > kMaxSecurityDescriptorBytes) return false;
  const ByteView v(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  if (v.U8(0) != 1 || (v.U16(2) & kSelfRelative) == 0) return false;
  const std::uint64_t owner = v.U32(4), group = v.U32(8), sacl = v.U32(12), dacl = v.U32(16);
  return (owner == 0 || SidFits(v, owner, v.size())) && (group == 0 || SidFits(v, group, v.size())) &&
         (sacl == 0 || AclFits(v, sacl)) && (dacl == 0 || AclFits(v, dacl));
}

SecurityDescriptors ParseSecurityStream(ByteView stream, const std::vector<std::uint32_t>& wanted) {
  SecurityDescriptors found;
  std::size_t entries = 0;
  for (std::uint64_t block = 0; block < stream.size(); block += 2 * kBlockBytes) {
    ParseBlock(stream, block, wanted, found, entries);
  }
  // The first of an id kept, each id once.
  std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  found.erase(std::unique(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first == b.first; }),
              found.end());
  return found;
}

SecurityDescriptors ReadSecurityDescriptors(const TableMap& map, const std::vector<std::uint32_t>& wanted) {
  const VolumeGeometry& g = map.Geometry();
  std::vector<unsigned char> record(g.record_size);
  RecordHeader header;
  if (wanted.empty() || map.RecordCount() <= kSecureRecord || !map.ReadRecords(kSecureRecord, 1, record.data()) ||
      OpenRecord(record.data(), g.record_size, header) != RecordState::InUse) {
    return {};
  }
  AttributeReader attributes(record.data(), header);
  Attribute a;
  ExtentMap extents;
  std::vector<Extent> decoded;
  std::uint64_t size = 0;
  while (attributes.Next(a)) {
    if (a.type != kData || !IsStreamName(a.name)) continue;
    if (a.resident) return ParseSecurityStream(a.value, wanted);
    decoded.clear();
    if (!DecodeRunList(a.runs, a.first_vcn, g.volume_size / g.cluster_size, decoded)) return {};
    if (a.first_vcn == 0) size = a.data_size;
    for (const Extent& e : decoded) {
      if (!extents.emplace(e.vcn, e).second) return {};
    }
  }
  if (attributes.Malformed()) return {};
  // No volume's descriptors come near the cap: what lies past it is not read.
  size = std::min(size, kMaxSecurityStreamBytes);
  if (size == 0 || !ExtentsCover(extents, size, g.cluster_size)) return {};
  std::vector<unsigned char> stream(size);
  if (!map.ReadValue(extents, size, stream.data())) return {};
  return ParseSecurityStream(ByteView(stream.data(), stream.size()), wanted);
}

}  // namespace quellor::ntfs
