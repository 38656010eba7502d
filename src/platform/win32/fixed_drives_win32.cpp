#include <windows.h>

#include "platform/fixed_drives.h"

namespace quellor::platform {

std::vector<std::string> FixedDriveRoots() {
  std::vector<std::string> roots;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const char root[] = {letter, ':', '\\', '\0'};
    if (GetDriveTypeA(root) == DRIVE_FIXED) roots.push_back(std::string{letter, ':'});
  }
  return roots;
}

}  // namespace quellor::platform
