// Every name a search can see on a volume, as a tree: read from its table of
// files in one pass, then kept compactly (each name's bytes once, no
// allocation per file) until the search has walked it.
//
// Memory: about 24 bytes a name plus its UTF-8 bytes (and its short name's,
// where it has one), 5 bytes a record of the table, 8 bytes a folder with a
// security id, and each distinct descriptor the folders carry once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ntfs/byte_source.h"
#include "ntfs/table_scan.h"
#include "ntfs/volume_error.h"

namespace quellor::ntfs {

struct IndexCounts {
  ScanCounts scan;
  // Names dropped: their folder's record was reused or freed since, or is no
  // folder, or the name's own record was reused.
  std::uint64_t stale_names = 0;
  // Records in use, with names, that no folder path from the root reaches
  // (metadata below the root not counted).
  std::uint64_t unreachable_records = 0;
  // Names and short names a path cannot hold (".", "..", or with '/', '\'
  // or NUL), dropped where a helper read the volume for the window.
  std::uint64_t unsafe_names = 0;
  bool volume_upcase = false;  // folders ordered by the volume's own table
};

class VolumeIndex {
 public:
  static constexpr std::uint32_t kRootRecord = 5;

  struct Child {
    std::string_view name;
    std::string_view alias;  // the short (8.3) name, where it differs
    std::uint32_t record;
    bool folder;  // a folder, or a link to one
    bool link;    // a reparse point that names another item: never entered
  };

  // The names in folder `record`, in the order of the folder's own index;
  // [ChildrenBegin, ChildrenEnd) index ChildAt.
  std::uint32_t ChildrenBegin(std::uint32_t record) const { return first_child_[record]; }
  std::uint32_t ChildrenEnd(std::uint32_t record) const { return first_child_[record + 1]; }
  Child ChildAt(std::uint32_t i) const;

  // The security id of folder `folder_record`'s descriptor; 0 when the
  // volume gave it none (volumes before version 3.0 keep none).
  std::uint32_t SecurityOf(std::uint32_t folder_record) const;
  // The self-relative security descriptor of `id`, as the volume keeps it;
  // empty when its $Secure could not be read or lacks the id.
  std::string_view Descriptor(std::uint32_t id) const;
  // Each security id some folder carries, once, ascending: the descriptors
  // a user's rights are tested against.
  const std::vector<std::uint32_t>& SecurityIds() const { return security_ids_; }

  std::uint32_t RecordCount() const { return static_cast<std::uint32_t>(bits_.size()); }
  std::uint64_t NameCount() const { return children_.size(); }
  const IndexCounts& Counts() const { return counts_; }
  // Bytes the index holds.
  std::uint64_t MemoryBytes() const;

 private:
  friend class IndexBuilder;
  struct Entry {
    std::uint32_t record;
    std::uint32_t parent;
    std::uint32_t text_at;  // the name's bytes, then the short name's
    std::uint16_t parent_sequence;
    std::uint16_t sequence;
    std::uint16_t name_size;
    std::uint8_t alias_size;
    bool win32;  // the long name a short name may belong to
  };
  std::string_view Text(std::uint32_t at, std::size_t size) const;
  // Keeps a name's bytes, then its short name's, in the text blocks (the last
  // one filled to `block_fill`); false when the blocks an index can address
  // are full.
  bool StoreText(std::string_view name, std::string_view alias, std::size_t& block_fill, std::uint32_t& at);

  std::vector<std::unique_ptr<char[]>> text_blocks_;
  std::vector<Entry> entries_;
  std::vector<std::uint8_t> bits_;           // per record: RecordBits
  std::vector<std::uint32_t> first_child_;   // per record, and one past the last
  std::vector<std::uint32_t> children_;      // entries, grouped by folder
  std::vector<std::pair<std::uint32_t, std::uint32_t>> folder_security_;  // (folder record, id), by record
  std::vector<std::uint32_t> security_ids_;
  std::vector<std::string> descriptors_;  // per security_ids_, empty when unknown
  IndexCounts counts_;
};

// Reads the table of the NTFS volume in `source` into an index; null, with
// the reason in `error`, when its boot sector or the table's own map cannot
// be used, or the stop came first (VolumeError::Stopped). Damaged records are
// skipped and counted, never fatal.
std::unique_ptr<VolumeIndex> ReadVolumeIndex(ByteSource& source, VolumeError& error,
                                             const ScanProgress& progress = {},
                                             const std::atomic<bool>* stop = nullptr);

}  // namespace quellor::ntfs
