// Hears a scan of a volume's table, then turns what it heard into the index:
// the reader here feeds it from its own scan, the window from the stream of
// a helper's scan.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ntfs/table_scan.h"
#include "ntfs/upcase_table.h"
#include "ntfs/volume_index.h"

namespace quellor::ntfs {

class IndexBuilder : public TableSink {
 public:
  // The most records an index holds.
  static constexpr std::uint64_t kMaxRecords = std::uint64_t{1} << 31;

  // For a table of `records` records (at most kMaxRecords). What is kept a
  // record is set aside for `room` of them and grows as the reports reach
  // further, so that a count another process tells costs nothing until its
  // reports come.
  IndexBuilder(std::uint32_t records, std::uint32_t room);
  ~IndexBuilder() override;
  IndexBuilder(const IndexBuilder&) = delete;
  IndexBuilder& operator=(const IndexBuilder&) = delete;

  void RecordSeen(std::uint64_t record, std::uint16_t sequence, std::uint8_t bits) override;
  void BitsSeen(std::uint64_t record, std::uint8_t bits) override;
  void NameSeen(std::uint64_t record, std::uint16_t sequence, FileReference parent, std::string_view name,
                std::string_view alias, bool win32) override;
  void LoneAliasSeen(std::uint64_t record, std::uint16_t sequence, FileReference parent,
                     std::string_view alias) override;
  void SecuritySeen(std::uint64_t record, std::uint32_t id) override;
  // The descriptor of a security id some folder carries.
  void DescriptorSeen(std::uint32_t id, std::string_view descriptor);
  // Each security id the folders told so far carry, once, ascending.
  std::vector<std::uint32_t> SecurityIds() const;
  // A name (or short name) the window will not join to a path: counted,
  // never kept.
  void NameRefused() { ++index_->counts_.unsafe_names; }

  // The index, its names grouped by folder in the order `upcase` gives; null
  // when the names outgrew what an index can address (VolumeError::TooLarge).
  // The builder is spent after it.
  std::unique_ptr<VolumeIndex> Finish(const UpcaseTable& upcase, const ScanCounts& counts);

 private:
  struct LoneAlias {
    std::uint32_t record;
    std::uint64_t parent;  // the reference as stored
    std::uint16_t sequence;
    std::string alias;
  };

  void Grow(std::uint64_t record);
  bool Store(std::string_view name, std::string_view alias, std::uint32_t& at);
  void PairLoneAliases();
  bool Current(std::uint32_t record, std::uint16_t sequence) const;
  void Group(const UpcaseTable& upcase);
  void Reach(std::uint32_t from, std::vector<bool>& reached) const;
  void CountUnreachable();
  void KeepSecurity();

  std::unique_ptr<VolumeIndex> index_;
  std::uint32_t records_;
  std::vector<std::uint16_t> sequences_;
  std::vector<std::pair<std::uint32_t, std::uint8_t>> extension_bits_;
  std::vector<LoneAlias> lone_aliases_;
  std::vector<std::pair<std::uint32_t, std::string>> descriptors_;
  std::size_t block_fill_ = 0;
  bool failed_ = false;
};

}  // namespace quellor::ntfs
