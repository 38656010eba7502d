// Whether this process's own user may list a folder's entries: what a search
// through a volume's table of files asks of each folder, so that it shows no
// name the folder walk could not have listed.
#pragma once

#include <string>
#include <string_view>

namespace quellor::platform {

enum class ListingRight {
  Allowed,
  Denied,
  Unknown,  // the system cannot judge the descriptor
};

// The system's access check of this process's token against a folder's
// self-relative security descriptor, for listing the folder. POSIX keeps no
// such descriptors (a volume image is read whole by whoever may read it):
// Allowed.
ListingRight RightToListWith(std::string_view descriptor);

// Whether the folder at `path` can be opened for listing by this process;
// for a folder whose descriptor is not at hand. POSIX: true.
bool MayOpenFolderToList(const std::string& path);

}  // namespace quellor::platform
