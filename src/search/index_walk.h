// The walk of a volume read from its table of files: the folder walk's
// visits, in its order, without reading a folder.
//
// How it works: depth-first pre-order from the volume's root over the index,
// each folder's names in the order of the folder's own index, as the system
// lists them. Links are passed over as the folder walk passes them; a folder
// reached a second time (only a damaged table names a folder twice) is
// passed over too, so no walk can loop. A folder whose path is past the
// platform's limit is entered with no entries and the problem the folder
// walk gives it; so is a folder `rights` says the user may not list.
#pragma once

#include <string>

#include "ntfs/volume_index.h"
#include "search/folder_rights.h"
#include "search/folder_walk.h"

namespace quellor::search {

class IndexWalk {
 public:
  using JoinPath = FolderWalk::JoinPath;

  // Without `rights`, every folder is listed.
  IndexWalk(const ntfs::VolumeIndex& index, JoinPath join, FolderRights* rights = nullptr)
      : index_(index), join_(std::move(join)), rights_(rights) {}
  // Walks the whole volume; `root` is how its root is shown.
  void Walk(const std::string& root, FolderVisitor& visitor);

 private:
  const ntfs::VolumeIndex& index_;
  JoinPath join_;
  FolderRights* rights_;
};

}  // namespace quellor::search
