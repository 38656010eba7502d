#include "search/index_route.h"

namespace quellor::search {

bool VolumeQualifies(const RootVolume& volume) {
  return volume.local_fixed && !volume.substituted && volume.file_system == "NTFS";
}

IndexChoice ChooseIndexRoute(const RootVolume& volume, ProcessRights rights, HelperStatus helper) {
  if (!VolumeQualifies(volume)) return {IndexRoute::Walk};
  switch (rights) {
    case ProcessRights::Elevated:
      return {IndexRoute::ReadHere};
    case ProcessRights::Standard:
      return {IndexRoute::Walk, WalkReason::NoRights};
    case ProcessRights::CanElevate:
      break;
  }
  switch (helper) {
    case HelperStatus::Usable:
      return {IndexRoute::ReadByHelper};
    case HelperStatus::NotOffered:
      return {IndexRoute::Walk, WalkReason::NoRights};
    case HelperStatus::Refused:
      return {IndexRoute::Walk, WalkReason::Declined};
    case HelperStatus::Failed:
      return {IndexRoute::Walk, WalkReason::HelperFailed};
  }
  return {IndexRoute::Walk};
}

}  // namespace quellor::search
