#include "ntfs/index_builder.h"

#include <algorithm>
#include <unordered_map>

namespace quellor::ntfs {

namespace {

// Records below this one are the volume's own files (the root aside).
constexpr std::uint32_t kFirstUserRecord = 16;

}  // namespace

IndexBuilder::IndexBuilder(std::uint32_t records, std::uint32_t room)
    : index_(std::make_unique<VolumeIndex>()), records_(records) {
  room = std::min(room, records);
  index_->bits_.assign(room, 0);
  sequences_.assign(room, 0);
  // Most records have one name; hard links add a few.
  index_->entries_.reserve(std::size_t{room} + room / 8);
}

IndexBuilder::~IndexBuilder() = default;

void IndexBuilder::Grow(std::uint64_t record) {
  const std::size_t size =
      std::min<std::uint64_t>(records_, std::max<std::uint64_t>(record + 1, 2 * sequences_.size()));
  index_->bits_.resize(size);
  sequences_.resize(size);
}

void IndexBuilder::RecordSeen(std::uint64_t record, std::uint16_t sequence, std::uint8_t bits) {
  if (record >= records_) return;
  if (record >= sequences_.size()) Grow(record);
  index_->bits_[record] |= bits;
  sequences_[record] = sequence;
}

void IndexBuilder::BitsSeen(std::uint64_t record, std::uint8_t bits) {
  if (record < records_) extension_bits_.emplace_back(static_cast<std::uint32_t>(record), bits);
}

void IndexBuilder::NameSeen(std::uint64_t record, std::uint16_t sequence, FileReference parent, std::string_view name,
                            std::string_view alias, bool win32) {
  if (record >= records_ || parent.record >= records_ || name.size() > 0xFFFF) {
    ++index_->counts_.stale_names;
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
  index_->entries_.push_back(e);
}

void IndexBuilder::LoneAliasSeen(std::uint64_t record, std::uint16_t sequence, FileReference parent,
                                 std::string_view alias) {
  if (record < records_ && alias.size() <= 0xFF) {
    lone_aliases_.push_back({static_cast<std::uint32_t>(record), parent.record | std::uint64_t{parent.sequence} << 48,
                             sequence, std::string(alias)});
  }
}

void IndexBuilder::SecuritySeen(std::uint64_t record, std::uint32_t id) {
  if (record < records_ && id != 0) index_->folder_security_.emplace_back(static_cast<std::uint32_t>(record), id);
}

void IndexBuilder::DescriptorSeen(std::uint32_t id, std::string_view descriptor) {
  descriptors_.emplace_back(id, std::string(descriptor));
}

std::vector<std::uint32_t> IndexBuilder::SecurityIds() const {
  std::vector<std::uint32_t> ids;
  ids.reserve(index_->folder_security_.size());
  for (const auto& [record, id] : index_->folder_security_) ids.push_back(id);
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  return ids;
}

std::unique_ptr<VolumeIndex> IndexBuilder::Finish(const UpcaseTable& upcase, const ScanCounts& counts) {
  if (failed_) return nullptr;
  index_->bits_.resize(records_);
  sequences_.resize(records_);
  for (const auto& [record, bits] : extension_bits_) index_->bits_[record] |= bits;
  PairLoneAliases();
  Group(upcase);
  CountUnreachable();
  KeepSecurity();
  index_->counts_.scan = counts;
  index_->counts_.volume_upcase = upcase.FromVolume();
  sequences_ = {};
  return std::move(index_);
}

bool IndexBuilder::Store(std::string_view name, std::string_view alias, std::uint32_t& at) {
  if (index_->StoreText(name, alias, block_fill_, at)) return true;
  failed_ = true;
  return false;
}

// A short name kept in another record than its long one (rare): the long
// name's bytes are stored again with it.
void IndexBuilder::PairLoneAliases() {
  if (lone_aliases_.empty()) return;
  // (record, folder) of a long name without its short one
  std::unordered_map<std::uint64_t, std::uint32_t> waiting;
  for (std::uint32_t i = 0; i < index_->entries_.size(); ++i) {
    const VolumeIndex::Entry& e = index_->entries_[i];
    if (e.win32 && e.alias_size == 0) waiting.emplace(std::uint64_t{e.record} << 32 | e.parent, i);
  }
  for (const LoneAlias& lone : lone_aliases_) {
    const auto it = waiting.find(std::uint64_t{lone.record} << 32 | (lone.parent & 0xFFFFFFFF));
    if (it == waiting.end()) continue;
    VolumeIndex::Entry& e = index_->entries_[it->second];
    if (e.sequence != lone.sequence || e.parent_sequence != static_cast<std::uint16_t>(lone.parent >> 48)) continue;
    const std::string name(index_->Text(e.text_at, e.name_size));
    if (!Store(name, lone.alias, e.text_at)) return;
    e.alias_size = static_cast<std::uint8_t>(lone.alias.size());
    waiting.erase(it);
  }
}

bool IndexBuilder::Current(std::uint32_t record, std::uint16_t sequence) const {
  return (index_->bits_[record] & kBitInUse) != 0 && sequences_[record] == sequence;
}

// Each folder's names, in its index's order. A name whose record or folder
// changed since it was written is dropped; so are the volume's own files
// below the root.
void IndexBuilder::Group(const UpcaseTable& upcase) {
  VolumeIndex& index = *index_;
  std::vector<std::uint32_t>& first = index.first_child_;
  first.assign(std::size_t{records_} + 1, 0);
  std::vector<bool> kept(index.entries_.size());
  for (std::uint32_t i = 0; i < index.entries_.size(); ++i) {
    const VolumeIndex::Entry& e = index.entries_[i];
    const bool hidden_metadata = e.parent == VolumeIndex::kRootRecord && e.record < kFirstUserRecord;
    if (e.record == e.parent || hidden_metadata) continue;
    if (!Current(e.record, e.sequence) || !Current(e.parent, e.parent_sequence) ||
        (index.bits_[e.parent] & kBitFolder) == 0) {
      ++index.counts_.stale_names;
      continue;
    }
    kept[i] = true;
    ++first[e.parent + 1];
  }
  for (std::uint32_t r = 0; r < records_; ++r) first[r + 1] += first[r];
  index.children_.resize(first[records_]);
  std::vector<std::uint32_t> fill(first.begin(), first.end() - 1);
  for (std::uint32_t i = 0; i < index.entries_.size(); ++i) {
    if (kept[i]) index.children_[fill[index.entries_[i].parent]++] = i;
  }
  for (std::uint32_t r = 0; r < records_; ++r) {
    if (first[r + 1] - first[r] < 2) continue;
    std::sort(index.children_.begin() + first[r], index.children_.begin() + first[r + 1],
              [&](std::uint32_t a, std::uint32_t b) {
                const VolumeIndex::Entry &x = index.entries_[a], &y = index.entries_[b];
                const int order =
                    upcase.Compare(index.Text(x.text_at, x.name_size), index.Text(y.text_at, y.name_size));
                return order != 0 ? order < 0 : x.record < y.record;
              });
  }
}

// Marks every record below `from`, each folder once, so no cycle can hold the walk.
void IndexBuilder::Reach(std::uint32_t from, std::vector<bool>& reached) const {
  const VolumeIndex& index = *index_;
  std::vector<std::uint32_t> folders{from};
  reached[from] = true;
  while (!folders.empty()) {
    const std::uint32_t folder = folders.back();
    folders.pop_back();
    for (std::uint32_t i = index.ChildrenBegin(folder); i < index.ChildrenEnd(folder); ++i) {
      const std::uint32_t record = index.entries_[index.children_[i]].record;
      if (reached[record]) continue;
      reached[record] = true;
      if ((index.bits_[record] & kBitFolder) != 0) folders.push_back(record);
    }
  }
}

void IndexBuilder::CountUnreachable() {
  const VolumeIndex& index = *index_;
  std::vector<bool> reached(records_);
  if (records_ <= VolumeIndex::kRootRecord) return;
  Reach(VolumeIndex::kRootRecord, reached);
  for (std::uint32_t r = 0; r < std::min(records_, kFirstUserRecord); ++r) {
    if (!reached[r] && (index.bits_[r] & kBitFolder) != 0) Reach(r, reached);
  }
  // Records whose every name was dropped as stale are not counted again.
  std::vector<bool> named(records_);
  for (const std::uint32_t i : index.children_) named[index.entries_[i].record] = true;
  for (std::uint32_t r = kFirstUserRecord; r < records_; ++r) {
    if (named[r] && !reached[r] && (index.bits_[r] & kBitInUse) != 0) ++index_->counts_.unreachable_records;
  }
}

// The ids of folders still in use, each folder once, and the descriptor of
// each distinct id (the first told of an id).
void IndexBuilder::KeepSecurity() {
  const auto before = [](const auto& a, const auto& b) { return a.first < b.first; };
  const auto same = [](const auto& a, const auto& b) { return a.first == b.first; };
  VolumeIndex& index = *index_;
  auto& folders = index.folder_security_;
  std::stable_sort(folders.begin(), folders.end(), before);
  folders.erase(std::unique(folders.begin(), folders.end(), same), folders.end());
  std::erase_if(folders, [&](const auto& entry) {
    return (index.bits_[entry.first] & (kBitInUse | kBitFolder)) != (kBitInUse | kBitFolder);
  });
  folders.shrink_to_fit();
  index.security_ids_ = SecurityIds();
  index.descriptors_.assign(index.security_ids_.size(), {});
  std::stable_sort(descriptors_.begin(), descriptors_.end(), before);
  std::size_t d = 0;
  for (std::size_t i = 0; i < index.security_ids_.size(); ++i) {
    while (d < descriptors_.size() && descriptors_[d].first < index.security_ids_[i]) ++d;
    if (d < descriptors_.size() && descriptors_[d].first == index.security_ids_[i]) {
      index.descriptors_[i] = std::move(descriptors_[d].second);
    }
  }
  descriptors_ = {};
}

}  // namespace quellor::ntfs
