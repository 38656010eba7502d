#include "search/folder_rights.h"

#include <algorithm>

namespace quellor::search {

FolderRights::FolderRights(const ntfs::VolumeIndex& index, ListingChecks checks)
    : index_(index), checks_(std::move(checks)), known_(index.SecurityIds().size(), Known::NotYet) {}

bool FolderRights::MayList(std::uint32_t record, const std::string& path) {
  const std::uint32_t id = index_.SecurityOf(record);
  const std::vector<std::uint32_t>& ids = index_.SecurityIds();
  const auto it = std::lower_bound(ids.begin(), ids.end(), id);
  if (id == 0 || it == ids.end() || *it != id) return checks_.by_opening(path);
  Known& known = known_[static_cast<std::size_t>(it - ids.begin())];
  if (known == Known::NotYet) {
    const std::string_view descriptor = index_.Descriptor(id);
    const platform::ListingRight right =
        descriptor.empty() ? platform::ListingRight::Unknown : checks_.by_descriptor(descriptor);
    known = right == platform::ListingRight::Allowed ? Known::Allowed
            : right == platform::ListingRight::Denied ? Known::Denied
                                                      : Known::ByOpening;
  }
  if (known == Known::ByOpening) return checks_.by_opening(path);
  return known == Known::Allowed;
}

}  // namespace quellor::search
