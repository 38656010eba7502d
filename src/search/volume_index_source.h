// Where a run gets the index of a root's volume, so that it can search the
// root through the volume's table of files instead of walking its folders.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ntfs/volume_index.h"
#include "search/run_status.h"

namespace quellor::search {

struct VolumeIndexAnswer {
  std::shared_ptr<const ntfs::VolumeIndex> index;  // null: the root is walked
  // Why it is walked, where the user is to be told (a drive that no index
  // could serve, such as a FAT or network drive, is walked without a word).
  std::optional<WalkReason> walked_because = {};
};

class VolumeIndexSource {
 public:
  virtual ~VolumeIndexSource() = default;
  // On the run's thread, before `root` is walked; `progress` is told how much
  // of the table is read (0 to 100). A stop request may cut the reading short.
  virtual VolumeIndexAnswer IndexOf(const std::string& root, const std::function<void(int percent)>& progress,
                                    const std::atomic<bool>& stop) = 0;
};

}  // namespace quellor::search
