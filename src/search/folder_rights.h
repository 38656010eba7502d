// Which folders of a volume's index this process's user may list. The index
// is read with rights the user may not have (the helper runs elevated), so
// a search through it must not show a name the folder walk could not have
// listed: each folder is tested for listing as the walk's own open would be.
//
// Each distinct descriptor is tested once (a volume has a few thousand at
// most, shared by all its folders); a folder whose descriptor the index does
// not have (a volume before version 3.0, a descriptor kept in the record
// itself, a $Secure that could not be read, one the system cannot judge) is
// tried by opening it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ntfs/volume_index.h"
#include "platform/listing_rights.h"

namespace quellor::search {

struct ListingChecks {
  std::function<platform::ListingRight(std::string_view descriptor)> by_descriptor = platform::RightToListWith;
  std::function<bool(const std::string& path)> by_opening = platform::MayOpenFolderToList;
};

class FolderRights {
 public:
  FolderRights(const ntfs::VolumeIndex& index, ListingChecks checks);
  // Whether folder `record` of the index, at `path`, may be listed.
  bool MayList(std::uint32_t record, const std::string& path);

 private:
  enum class Known : std::uint8_t { NotYet, Allowed, Denied, ByOpening };

  const ntfs::VolumeIndex& index_;
  ListingChecks checks_;
  std::vector<Known> known_;  // per index_.SecurityIds()
};

}  // namespace quellor::search
