#include "ntfs/volume_index.h"

#include <algorithm>

#include "ntfs/index_builder.h"
#include "ntfs/security_descriptors.h"
#include "ntfs/table_map.h"
#include "ntfs/upcase_table.h"

namespace quellor::ntfs {

namespace {

constexpr unsigned kBlockBits = 20;  // name bytes are kept in blocks of 1 MiB
constexpr std::size_t kBlockSize = std::size_t{1} << kBlockBits;
constexpr std::size_t kMaxBlocks = std::size_t{1} << (32 - kBlockBits);

}  // namespace

bool VolumeIndex::StoreText(std::string_view name, std::string_view alias, std::size_t& block_fill,
                            std::uint32_t& at) {
  const std::size_t size = name.size() + alias.size();
  if (text_blocks_.empty() || block_fill + size > kBlockSize) {
    if (text_blocks_.size() == kMaxBlocks) return false;
    text_blocks_.push_back(std::unique_ptr<char[]>(new char[kBlockSize]));  // filled as names come
    block_fill = 0;
  }
  char* out = text_blocks_.back().get() + block_fill;
  name.copy(out, name.size());
  alias.copy(out + name.size(), alias.size());
  at = static_cast<std::uint32_t>((text_blocks_.size() - 1) << kBlockBits | block_fill);
  block_fill += size;
  return true;
}

std::string_view VolumeIndex::Text(std::uint32_t at, std::size_t size) const {
  return std::string_view(text_blocks_[at >> kBlockBits].get() + (at & (kBlockSize - 1)), size);
}

VolumeIndex::Child VolumeIndex::ChildAt(std::uint32_t i) const {
  const Entry& e = entries_[children_[i]];
  const std::uint8_t bits = bits_[e.record];
  const bool link = (bits & kBitReparsePoint) != 0 && (bits & kBitItselfTag) == 0;
  return {Text(e.text_at, e.name_size), Text(e.text_at + e.name_size, e.alias_size), e.record,
          (bits & kBitFolder) != 0, link};
}

std::uint32_t VolumeIndex::SecurityOf(std::uint32_t folder_record) const {
  const auto it = std::lower_bound(folder_security_.begin(), folder_security_.end(), folder_record,
                                   [](const auto& entry, std::uint32_t record) { return entry.first < record; });
  return it != folder_security_.end() && it->first == folder_record ? it->second : 0;
}

std::string_view VolumeIndex::Descriptor(std::uint32_t id) const {
  const auto it = std::lower_bound(security_ids_.begin(), security_ids_.end(), id);
  if (it == security_ids_.end() || *it != id) return {};
  return descriptors_[static_cast<std::size_t>(it - security_ids_.begin())];
}

std::uint64_t VolumeIndex::MemoryBytes() const {
  std::uint64_t descriptors = descriptors_.capacity() * sizeof(std::string);
  for (const std::string& d : descriptors_) descriptors += d.capacity();
  return text_blocks_.size() * kBlockSize + entries_.capacity() * sizeof(Entry) + bits_.capacity() +
         (first_child_.capacity() + children_.capacity() + security_ids_.capacity()) * sizeof(std::uint32_t) +
         folder_security_.capacity() * sizeof(folder_security_[0]) + descriptors;
}

std::unique_ptr<VolumeIndex> ReadVolumeIndex(ByteSource& source, VolumeError& error, const ScanProgress& progress,
                                             const std::atomic<bool>* stop) {
  const std::unique_ptr<TableMap> map = TableMap::Open(source, error);
  if (!map) return nullptr;
  if (map->RecordCount() > IndexBuilder::kMaxRecords) {
    error = VolumeError::TooLarge;
    return nullptr;
  }
  const auto records = static_cast<std::uint32_t>(map->RecordCount());
  IndexBuilder builder(records, records);
  const ScanCounts counts = ScanTable(*map, builder, progress, stop);
  if (counts.stopped) {
    error = VolumeError::Stopped;
    return nullptr;
  }
  for (const auto& [id, descriptor] : ReadSecurityDescriptors(*map, builder.SecurityIds())) {
    builder.DescriptorSeen(id, descriptor);
  }
  std::unique_ptr<VolumeIndex> index = builder.Finish(UpcaseTable::Read(*map), counts);
  error = index ? VolumeError::None : VolumeError::TooLarge;
  return index;
}

}  // namespace quellor::ntfs
