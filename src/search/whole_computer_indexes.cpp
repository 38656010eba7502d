#include "search/whole_computer_indexes.h"

#include "ntfs/aligned_source.h"
#include "ntfs/byte_source.h"
#include "platform/process_rights.h"
#include "platform/read_only_file.h"
#include "platform/volume_device.h"

namespace quellor::search {

WholeComputerIndexes::WholeComputerIndexes(Services services) : services_(std::move(services)) {}

HelperStatus WholeComputerIndexes::StatusOfHelper() const {
  if (!services_.helper) return HelperStatus::NotOffered;
  if (services_.helper->GaveUp()) {
    return services_.helper->WhyGaveUp() == ntfs::HelperClient::Outcome::Declined ? HelperStatus::Refused
                                                                                  : HelperStatus::Failed;
  }
  switch (answer_.load()) {
    case Answer::None:
      return HelperStatus::NotOffered;
    case Answer::Refused:
      return HelperStatus::Refused;
    case Answer::Allowed:
      break;
  }
  return HelperStatus::Usable;
}

bool WholeComputerIndexes::NeedsAnswer(const std::vector<std::string>& roots) const {
  if (!services_.helper || answer_.load() != Answer::None || services_.rights != ProcessRights::CanElevate) {
    return false;
  }
  for (const std::string& root : roots) {
    if (VolumeQualifies(services_.volume_of(root))) return true;
  }
  return false;
}

VolumeIndexAnswer WholeComputerIndexes::IndexOf(const std::string& root,
                                                const std::function<void(int percent)>& progress,
                                                const std::atomic<bool>& stop) {
  const IndexChoice choice = ChooseIndexRoute(services_.volume_of(root), services_.rights, StatusOfHelper());
  switch (choice.route) {
    case IndexRoute::Walk:
      return {nullptr, choice.reason};
    case IndexRoute::ReadHere: {
      int shown = -1;
      const auto told = [&](std::uint64_t read, std::uint64_t records) {
        const int percent = records == 0 ? 100 : static_cast<int>(100 * read / records);
        if (percent != shown) progress(shown = percent);
      };
      std::unique_ptr<ntfs::VolumeIndex> index = services_.read_here(root, told, stop);
      if (!index) return {nullptr, stop.load() ? std::nullopt : std::optional(WalkReason::ReadFailed)};
      return {std::move(index)};
    }
    case IndexRoute::ReadByHelper: {
      ntfs::HelperClient::Result read = services_.helper->Read(root, progress, stop);
      switch (read.outcome) {
        case ntfs::HelperClient::Outcome::Read:
          return {std::move(read.index)};
        case ntfs::HelperClient::Outcome::Declined:
          return {nullptr, WalkReason::Declined};
        case ntfs::HelperClient::Outcome::HelperFailed:
          return {nullptr, WalkReason::HelperFailed};
        case ntfs::HelperClient::Outcome::VolumeFailed:
          return {nullptr, WalkReason::ReadFailed};
        case ntfs::HelperClient::Outcome::Stopped:
          return {nullptr};
      }
      break;
    }
  }
  return {nullptr};
}

WholeComputerIndexes::Services PlatformVolumeServices() {
  WholeComputerIndexes::Services services;
  services.volume_of = [](const std::string& root) {
    const platform::VolumeFacts facts = platform::FactsOfVolume(root);
    return RootVolume{facts.local_fixed, facts.substituted, facts.file_system};
  };
  switch (platform::CurrentElevation()) {
    case platform::Elevation::Elevated:
      services.rights = ProcessRights::Elevated;
      break;
    case platform::Elevation::CanElevate:
      services.rights = ProcessRights::CanElevate;
      break;
    case platform::Elevation::Standard:
      services.rights = ProcessRights::Standard;
      break;
  }
  services.read_here = [](const std::string& root, const ntfs::ScanProgress& progress,
                          const std::atomic<bool>& stop) {
    int error = 0;
    std::unique_ptr<platform::ReadOnlyFile> file = platform::ReadOnlyFile::OpenVolume(root, error);
    if (!file) return std::unique_ptr<ntfs::VolumeIndex>();
    ntfs::FileByteSource device(std::move(file));
    ntfs::AlignedByteSource source(device);
    ntfs::VolumeError why = ntfs::VolumeError::None;
    return ntfs::ReadVolumeIndex(source, why, progress, &stop);
  };
  return services;
}

}  // namespace quellor::search
