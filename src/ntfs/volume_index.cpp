#include "ntfs/volume_index.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "ntfs/table_map.h"
#include "ntfs/upcase_table.h"

namespace quellor::ntfs {

namespace {

constexpr unsigned kBlockBits = 20;  // name bytes are kept in blocks of 1 MiB
constexpr std::size_t kBlockSize = std::size_t{1} << kBlockBits;
constexpr std::size_t kMaxBlocks = std::size_t{1} << (32 - kBlockBits);
// Records below this one are the volume's own files (the root aside).
constexpr std::uint32_t kFirstUserRecord = 16;

struct LoneAlias {
  std::uint32_t record;
  std::uint64_t parent;  // the reference as stored
  std::uint16_t sequence;
  std::string alias;
};

}  // namespace

// Hears a scan, then turns what it heard into the tree.
class IndexBuilder : public TableSink {
 public:
  IndexBuilder(VolumeIndex& index, std::uint32_t records) : index_(index) {
    index_.bits_.assign(records, 0);
    sequences_.assign(records, 0);
    // Most records have one name; hard links add a few.
    index_.entries_.reserve(records + records / 8);
  }

  bool Failed() const { return failed_; }

  void RecordSeen(std::uint64_t record, std::uint16_t sequence, std::uint8_t bits) override {
    index_.bits_[record] |= bits;
    sequences_[record] = sequence;
  }

  void BitsSeen(std::uint64_t record, std::uint8_t bits) override {
    if (record < index_.bits_.size()) extension_bits_.emplace_back(static_cast<std::uint32_t>(record), bits);
  }

  void NameSeen(std::uint64_t record, std::uint16_t sequence, FileReference parent, std::string_view name,
                std::string_view alias, bool win32) override {
    if (record >= index_.bits_.size() || parent.record >= index_.bits_.size() || name.size() > 0xFFFF) {
      ++index_.counts_.stale_names;
      return;
    }
    if (alias.size() > 0xFF) alias = {};
    VolumeIndex::Entry e{};
    e.record = static_cast<std::uint32_t>(record);
    e.parent = static_cast<std::uint32_t>(parent.record);
    e.parent_sequence = parent.sequence;
    e.sequence = sequence;
    e.name_size = static_cast<std::uint16_t>(name.size());
    e.alias_size = static_cast<std::uint8_t>(alias.size());
    e.win32 = win32;
    if (!Store(name, alias, e.text_at)) return;
    index_.entries_.push_back(e);
  }

  void LoneAliasSeen(std::uint64_t record, std::uint16_t sequence, FileReference parent,
                     std::string_view alias) override {
    if (record < index_.bits_.size() && alias.size() <= 0xFF) {
      lone_aliases_.push_back({static_cast<std::uint32_t>(record), parent.record | std::uint64_t{parent.sequence} << 48,
                               sequence, std::string(alias)});
    }
  }

  void Build(const UpcaseTable& upcase) {
    for (const auto& [record, bits] : extension_bits_) index_.bits_[record] |= bits;
    PairLoneAliases();
    Group(upcase);
    CountUnreachable();
    sequences_ = {};
  }

 private:
  bool Store(std::string_view name, std::string_view alias, std::uint32_t& at) {
    const std::size_t size = name.size() + alias.size();
    if (index_.text_blocks_.empty() || block_fill_ + size > kBlockSize) {
      if (index_.text_blocks_.size() == kMaxBlocks) {
        failed_ = true;
        return false;
      }
      index_.text_blocks_.push_back(std::unique_ptr<char[]>(new char[kBlockSize]));  // filled as names come
      block_fill_ = 0;
    }
    char* out = index_.text_blocks_.back().get() + block_fill_;
    name.copy(out, name.size());
    alias.copy(out + name.size(), alias.size());
    at = static_cast<std::uint32_t>((index_.text_blocks_.size() - 1) << kBlockBits | block_fill_);
    block_fill_ += size;
    return true;
  }

  // A short name kept in another record than its long one (rare): the long
  // name's bytes are stored again with it.
  void PairLoneAliases() {
    if (lone_aliases_.empty()) return;
    // (record, folder) of a long name without its short one
    std::unordered_map<std::uint64_t, std::uint32_t> waiting;
    for (std::uint32_t i = 0; i < index_.entries_.size(); ++i) {
      const VolumeIndex::Entry& e = index_.entries_[i];
      if (e.win32 && e.alias_size == 0) waiting.emplace(std::uint64_t{e.record} << 32 | e.parent, i);
    }
    for (const LoneAlias& lone : lone_aliases_) {
      const auto it = waiting.find(std::uint64_t{lone.record} << 32 | (lone.parent & 0xFFFFFFFF));
      if (it == waiting.end()) continue;
      VolumeIndex::Entry& e = index_.entries_[it->second];
      if (e.sequence != lone.sequence || e.parent_sequence != static_cast<std::uint16_t>(lone.parent >> 48)) continue;
      const std::string name(index_.Text(e.text_at, e.name_size));
      if (!Store(name, lone.alias, e.text_at)) return;
      e.alias_size = static_cast<std::uint8_t>(lone.alias.size());
      waiting.erase(it);
    }
  }

  bool Current(std::uint32_t record, std::uint16_t sequence) const {
    return (index_.bits_[record] & kBitInUse) != 0 && sequences_[record] == sequence;
  }

  // Each folder's names, in its index's order. A name whose record or folder
  // changed since it was written is dropped; so are the volume's own files
  // below the root.
  void Group(const UpcaseTable& upcase) {
    const std::uint32_t records = static_cast<std::uint32_t>(index_.bits_.size());
    std::vector<std::uint32_t>& first = index_.first_child_;
    first.assign(records + 1, 0);
    std::vector<bool> kept(index_.entries_.size());
    for (std::uint32_t i = 0; i < index_.entries_.size(); ++i) {
      const VolumeIndex::Entry& e = index_.entries_[i];
      const bool hidden_metadata = e.parent == VolumeIndex::kRootRecord && e.record < kFirstUserRecord;
      if (e.record == e.parent || hidden_metadata) continue;
      if (!Current(e.record, e.sequence) || !Current(e.parent, e.parent_sequence) ||
          (index_.bits_[e.parent] & kBitFolder) == 0) {
        ++index_.counts_.stale_names;
        continue;
      }
      kept[i] = true;
      ++first[e.parent + 1];
    }
    for (std::uint32_t r = 0; r < records; ++r) first[r + 1] += first[r];
    index_.children_.resize(first[records]);
    std::vector<std::uint32_t> fill(first.begin(), first.end() - 1);
    for (std::uint32_t i = 0; i < index_.entries_.size(); ++i) {
      if (kept[i]) index_.children_[fill[index_.entries_[i].parent]++] = i;
    }
    for (std::uint32_t r = 0; r < records; ++r) {
      if (first[r + 1] - first[r] < 2) continue;
      std::sort(index_.children_.begin() + first[r], index_.children_.begin() + first[r + 1],
                [&](std::uint32_t a, std::uint32_t b) {
                  const VolumeIndex::Entry &x = index_.entries_[a], &y = index_.entries_[b];
                  const int order = upcase.Compare(index_.Text(x.text_at, x.name_size), index_.Text(y.text_at, y.name_size));
                  return order != 0 ? order < 0 : x.record < y.record;
                });
    }
  }

  // Marks every record below `from`, each folder once, so no cycle can hold the walk.
  void Reach(std::uint32_t from, std::vector<bool>& reached) const {
    std::vector<std::uint32_t> folders{from};
    reached[from] = true;
    while (!folders.empty()) {
      const std::uint32_t folder = folders.back();
      folders.pop_back();
      for (std::uint32_t i = index_.ChildrenBegin(folder); i < index_.ChildrenEnd(folder); ++i) {
        const std::uint32_t record = index_.entries_[index_.children_[i]].record;
        if (reached[record]) continue;
        reached[record] = true;
        if ((index_.bits_[record] & kBitFolder) != 0) folders.push_back(record);
      }
    }
  }

  void CountUnreachable() {
    const std::uint32_t records = static_cast<std::uint32_t>(index_.bits_.size());
    std::vector<bool> reached(records);
    if (records <= VolumeIndex::kRootRecord) return;
    Reach(VolumeIndex::kRootRecord, reached);
    for (std::uint32_t r = 0; r < std::min(records, kFirstUserRecord); ++r) {
      if (!reached[r] && (index_.bits_[r] & kBitFolder) != 0) Reach(r, reached);
    }
    // Records whose every name was dropped as stale are not counted again.
    std::vector<bool> named(records);
    for (const std::uint32_t i : index_.children_) named[index_.entries_[i].record] = true;
    for (std::uint32_t r = kFirstUserRecord; r < records; ++r) {
      if (named[r] && !reached[r] && (index_.bits_[r] & kBitInUse) != 0) ++index_.counts_.unreachable_records;
    }
  }

  VolumeIndex& index_;
  std::vector<std::uint16_t> sequences_;
  std::vector<std::pair<std::uint32_t, std::uint8_t>> extension_bits_;
  std::vector<LoneAlias> lone_aliases_;
  std::size_t block_fill_ = 0;
  bool failed_ = false;
};

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

std::uint64_t VolumeIndex::MemoryBytes() const {
  return text_blocks_.size() * kBlockSize + entries_.capacity() * sizeof(Entry) + bits_.capacity() +
         (first_child_.capacity() + children_.capacity()) * sizeof(std::uint32_t);
}

std::unique_ptr<VolumeIndex> ReadVolumeIndex(ByteSource& source, VolumeError& error, const ScanProgress& progress) {
  const std::unique_ptr<TableMap> map = TableMap::Open(source, error);
  if (!map) return nullptr;
  auto index = std::make_unique<VolumeIndex>();
  IndexBuilder builder(*index, static_cast<std::uint32_t>(map->RecordCount()));
  index->counts_.scan = ScanTable(*map, builder, progress);
  if (builder.Failed()) {
    error = VolumeError::TooLarge;
    return nullptr;
  }
  const UpcaseTable upcase = UpcaseTable::Read(*map);
  index->counts_.volume_upcase = upcase.FromVolume();
  builder.Build(upcase);
  error = VolumeError::None;
  return index;
}

}  // namespace quellor::ntfs
