#include <windows.h>

#include "platform/fixed_drives.h"

namespace quellor::platform {

std::vector<std::string> FixedDriveRoots() {
  std::vector<std::string> roots;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const wchar_t root[] = {static_cast<wchar_t>(letter), L':', L'\\', L'\0'};
    if (GetDriveTypeW(root) == DRIVE_FIXED) roots.push_back(std::string{letter, ':'});
  }
  return roots;
}

}  // namespace quellor::platform
