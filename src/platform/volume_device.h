// The volume behind a root of a whole-computer search, for deciding whether
// its table of files can be read from its sectors instead of walking it.
#pragma once

#include <string>

namespace quellor::platform {

struct VolumeFacts {
  bool local_fixed = false;  // a fixed disk of this computer
  // A drive letter given to a folder of another volume, or one whose device
  // the system does not tell: either way no volume of its own to read.
  bool substituted = false;
  std::string file_system;  // as the system names it ("NTFS"); empty when it does not say
};

// The facts of `root`, a root as FixedDriveRoots gives it ("C:"). POSIX has
// no drive letters: nothing there is local_fixed.
VolumeFacts FactsOfVolume(const std::string& root);

}  // namespace quellor::platform
