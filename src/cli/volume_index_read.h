// quellor-find's --volume: the volume's index, read before the search, and
// what went wrong with it in quellor-find's words.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "ntfs/volume_index.h"

namespace quellor::cli {

struct VolumeRead {
  std::shared_ptr<const ntfs::VolumeIndex> index;  // null when the volume cannot be read
  bool records_skipped = false;                    // damaged records were left out (named on `errors`)
};

// Reads the volume in `path`, naming on `errors` why it cannot be read or
// which of its records were skipped, and (unless `quiet`) the names it leaves
// out because no folder holds them any more; with `progress` (a terminal),
// how far the reading is, on one line overwritten in place.
VolumeRead ReadVolume(const std::string& path, bool quiet, bool progress, std::FILE* errors);

}  // namespace quellor::cli
