// Which drives of a whole-computer search are read from their table of files,
// by whom, and which are walked with a word to the user.
#include "search/index_route.h"

#include <gtest/gtest.h>

namespace quellor::search {
namespace {

TEST(IndexRoute, OnlyAFixedLocalNtfsDriveIsReadAndAWalkForWantOfRightsIsNamed) {
  const RootVolume ntfs{true, false, "NTFS"};
  using R = ProcessRights;
  using H = HelperStatus;
  const struct {
    RootVolume volume;
    ProcessRights rights;
    HelperStatus helper;
    IndexRoute route;
    std::optional<WalkReason> reason;
  } cases[] = {
      // Drives no index serves are walked as always, without a word.
      {{true, false, "FAT32"}, R::Elevated, H::Usable, IndexRoute::Walk, {}},
      {{true, false, "ReFS"}, R::Elevated, H::Usable, IndexRoute::Walk, {}},
      {{false, false, "NTFS"}, R::Elevated, H::Usable, IndexRoute::Walk, {}},  // network, removable
      {{true, true, "NTFS"}, R::Elevated, H::Usable, IndexRoute::Walk, {}},    // a SUBST letter
      {{true, false, "ntfs"}, R::Elevated, H::Usable, IndexRoute::Walk, {}},
      // Rights decide the rest.
      {ntfs, R::Elevated, H::NotOffered, IndexRoute::ReadHere, {}},
      {ntfs, R::Elevated, H::Failed, IndexRoute::ReadHere, {}},
      {ntfs, R::Standard, H::Usable, IndexRoute::Walk, WalkReason::NoRights},
      {ntfs, R::CanElevate, H::Usable, IndexRoute::ReadByHelper, {}},
      {ntfs, R::CanElevate, H::NotOffered, IndexRoute::Walk, WalkReason::NoRights},
      {ntfs, R::CanElevate, H::Refused, IndexRoute::Walk, WalkReason::Declined},
      {ntfs, R::CanElevate, H::Failed, IndexRoute::Walk, WalkReason::HelperFailed},
  };
  for (const auto& c : cases) {
    const IndexChoice choice = ChooseIndexRoute(c.volume, c.rights, c.helper);
    EXPECT_EQ(choice.route, c.route) << c.volume.file_system << " " << int(c.rights) << " " << int(c.helper);
    EXPECT_EQ(choice.reason, c.reason) << c.volume.file_system << " " << int(c.rights) << " " << int(c.helper);
  }
}

}  // namespace
}  // namespace quellor::search
