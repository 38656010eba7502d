// The volume's own upper-case table: how it orders the names in a folder.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ntfs/table_map.h"

namespace quellor::ntfs {

class UpcaseTable {
 public:
  // The table as bytes: its 65,536 units, little-endian, as the volume keeps them.
  static constexpr std::size_t kBytes = 2 * 65536;

  // The table of `map`'s volume; A-Z alone when the volume's cannot be read.
  static UpcaseTable Read(const TableMap& map);
  // A-Z alone.
  static UpcaseTable Ascii();
  // The table from Bytes(); nothing unless they are kBytes long.
  static std::optional<UpcaseTable> FromBytes(std::string_view bytes, bool from_volume);

  std::string Bytes() const;

  bool FromVolume() const { return from_volume_; }
  char16_t Upper(char16_t unit) const { return table_[unit]; }

  // The order of two UTF-8 names in a folder's index: their UTF-16 code
  // units compared in upper case, then as they are. Negative, 0 or positive.
  int Compare(std::string_view a, std::string_view b) const;

 private:
  std::vector<char16_t> table_;  // 65,536 units
  bool from_volume_ = false;
};

}  // namespace quellor::ntfs
