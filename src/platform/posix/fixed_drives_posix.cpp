#include <set>
#include <sstream>
#include <string>
#include <string_view>

#include "platform/file_io.h"
#include "platform/fixed_drives.h"

namespace quellor::platform {

namespace {

bool IsLocalDiskType(std::string_view type) {
  static const std::set<std::string_view> kTypes = {
      "ext2", "ext3", "ext4", "xfs", "btrfs", "f2fs", "jfs", "reiserfs", "vfat", "msdos", "exfat", "ntfs", "ntfs3",
      "hfs", "hfsplus", "nilfs2", "bcachefs", "ufs", "zfs", "udf", "fuseblk"};
  return kTypes.count(type) != 0;
}

// Mount table fields escape space, tab, newline and backslash as \ooo.
std::string Unescape(std::string_view field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3') {
      out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

}  // namespace

std::vector<std::string> FixedDriveRoots() {
  std::vector<std::string> roots;
  const std::optional<std::string> table = ReadWholeFile("/proc/self/mounts");
  if (!table) return roots;
  std::istringstream lines(*table);
  std::string line;
  std::set<std::string> seen;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string device, mount_point, type;
    if (!(fields >> device >> mount_point >> type)) continue;
    // zfs names its pool rather than a device node.
    if (!IsLocalDiskType(type) || (type != "zfs" && device.rfind("/dev/", 0) != 0)) continue;
    std::string root = Unescape(mount_point);
    if (seen.insert(root).second) roots.push_back(std::move(root));
  }
  return roots;
}

}  // namespace quellor::platform
