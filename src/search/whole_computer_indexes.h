// The indexes of a whole-computer search's drives: each fixed local NTFS
// drive is read from its table of files, here when this process has an
// administrator's rights, else through the helper where the user allowed it;
// every other drive, and any drive whose reading fails, is walked.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ntfs/helper_client.h"
#include "ntfs/table_scan.h"
#include "search/index_route.h"
#include "search/volume_index_source.h"

namespace quellor::search {

class WholeComputerIndexes : public VolumeIndexSource {
 public:
  struct Services {
    std::function<RootVolume(const std::string& root)> volume_of;
    ProcessRights rights = ProcessRights::Standard;
    // Reads `root`'s volume in this process; null when it cannot be read or
    // the stop came first.
    std::function<std::unique_ptr<ntfs::VolumeIndex>(const std::string& root, const ntfs::ScanProgress& progress,
                                                     const std::atomic<bool>& stop)>
        read_here;
    // Null where no helper is offered (quellor-find).
    std::unique_ptr<ntfs::HelperClient> helper;
  };
  explicit WholeComputerIndexes(Services services);

  // The user's answer to reading through the helper: asked once, before the
  // first search that would start it.
  bool NeedsAnswer(const std::vector<std::string>& roots) const;
  void SetAnswer(bool allowed) { answer_ = allowed ? Answer::Allowed : Answer::Refused; }

  VolumeIndexAnswer IndexOf(const std::string& root, const std::function<void(int percent)>& progress,
                            const std::atomic<bool>& stop) override;

 private:
  enum class Answer { None, Allowed, Refused };
  HelperStatus StatusOfHelper() const;

  Services services_;
  std::atomic<Answer> answer_{Answer::None};
};

// The services of this platform: its drives, its rights, its volumes read
// here; no helper.
WholeComputerIndexes::Services PlatformVolumeServices();

}  // namespace quellor::search
