#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/folder_listing.h"

namespace quellor::platform {

namespace {

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

FolderReader::FolderReader(const std::string& root) : root_(root) {
  struct stat st {};
  // The root itself may be a link: the user chose it.
  if (::stat(root.c_str(), &st) == 0) {
    root_device_ = static_cast<std::uint64_t>(st.st_dev);
    root_known_ = true;
  }
}

bool FolderReader::Read(const std::string& folder, FolderListing& listing) const {
  listing.Clear();
  if (!root_known_ || folder.empty() || folder.size() >= MaxPathLength()) return false;
  // O_NOFOLLOW: a folder swapped for a link since it was listed is not entered.
  // The root is opened following links, as the user named it.
  const int follow = folder == root_ ? 0 : O_NOFOLLOW;
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | follow);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || static_cast<std::uint64_t>(st.st_dev) != root_device_) {
    ::close(fd);
    return false;
  }
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    ::close(fd);
    return false;
  }
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir);
    if (entry == nullptr) break;
    const char* name = entry->d_name;
    if (IsDotOrDotDot(name)) continue;
    unsigned char type = entry->d_type;
    if (type == DT_UNKNOWN) {
      struct stat entry_st {};
      if (::fstatat(fd, name, &entry_st, AT_SYMLINK_NOFOLLOW) == 0) {
        type = S_ISDIR(entry_st.st_mode) ? DT_DIR : S_ISLNK(entry_st.st_mode) ? DT_LNK : DT_REG;
      }
    }
    bool is_folder = type == DT_DIR;
    if (type == DT_LNK) {
      struct stat target {};
      is_folder = ::fstatat(fd, name, &target, 0) == 0 && S_ISDIR(target.st_mode);
    }
    listing.Add(name, {}, is_folder, type == DT_DIR);
  }
  ::closedir(dir);
  return true;
}

bool IsExistingFolder(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::size_t MaxPathLength() { return PATH_MAX - 1; }

}  // namespace quellor::platform
