#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_operations.h"
#include "platform/posix/path_posix.h"
#include "platform/posix/write_all_posix.h"

namespace quellor::platform {

namespace {

// errno of the first failure, 0 when every step succeeded.
using Status = int;

Status LastError() { return errno != 0 ? errno : EIO; }

// A FIFO, device or socket: reading one could block for ever or never end.
constexpr Status kSpecialFile = ENODEV;

PathKind KindOfMode(mode_t mode) {
  if (S_ISDIR(mode)) return PathKind::Folder;
  return S_ISREG(mode) || S_ISLNK(mode) ? PathKind::File : PathKind::Special;
}

std::string BaseName(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ListFolder(const std::string& folder, std::vector<std::string>& names, Status& status) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) {
    status = LastError();
    return false;
  }
  errno = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
    errno = 0;
  }
  const int read_error = errno;
  ::closedir(dir);
  if (read_error != 0) {
    status = read_error;
    return false;
  }
  return true;
}

// The file's content, permission bits and times, written under a temporary
// name beside `target` and renamed over it only when whole: a full disk or a
// kill never leaves a half-written file under the final name, and a link at
// the target is replaced, never written through.
Status CopyFileContent(const std::string& source, const std::string& target) {
  // O_NONBLOCK: a FIFO put in the file's place since it was looked at must not hang the copy.
  const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (in < 0) return LastError();
  struct stat from {};
  const bool stat_failed = ::fstat(in, &from) != 0;
  if (stat_failed || !S_ISREG(from.st_mode)) {
    const Status status = stat_failed ? LastError() : kSpecialFile;
    ::close(in);
    return status;
  }
  const int flags = ::fcntl(in, F_GETFL);
  if (flags < 0 || ::fcntl(in, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    const Status status = LastError();
    ::close(in);
    return status;
  }
  std::string temp = posix::ParentFolder(target) + "/.quellor-copy-XXXXXX";
  const int out = ::mkostemp(temp.data(), O_CLOEXEC);
  if (out < 0) {
    const Status status = LastError();
    ::close(in);
    return status;
  }
  Status status = 0;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(in, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      status = LastError();
      break;
    }
    if (got == 0) break;
    if (!posix::WriteAll(out, std::string_view(buffer, static_cast<std::size_t>(got)))) {
      status = LastError();
      break;
    }
  }
  const struct timespec times[2] = {from.st_atim, from.st_mtim};
  if (status == 0 && ::fchmod(out, from.st_mode & 0777) != 0) status = LastError();
  if (status == 0 && ::futimens(out, times) != 0) status = LastError();
  if (::close(out) != 0 && status == 0) status = LastError();
  ::close(in);
  if (status == 0 && ::rename(temp.c_str(), target.c_str()) != 0) status = LastError();
  if (status != 0) ::unlink(temp.c_str());
  return status;
}

Status RemoveTree(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return LastError();
  if (!S_ISDIR(info.st_mode)) return ::unlink(path.c_str()) == 0 ? 0 : LastError();
  std::vector<std::string> names;
  Status status = 0;
  if (!ListFolder(path, names, status)) return status;
  for (const std::string& name : names) {
    const Status child = RemoveTree(path + "/" + name);
    if (status == 0) status = child;
  }
  if (::rmdir(path.c_str()) != 0 && status == 0) status = LastError();
  return status;
}

// Copies `source` to `target`, overwriting files and merging into folders.
Status CopyTree(const std::string& source, const std::string& target) {
  struct stat from {};
  if (::lstat(source.c_str(), &from) != 0) return LastError();
  struct stat to {};
  const bool target_exists = ::lstat(target.c_str(), &to) == 0;
  // Copying an item onto itself would truncate it before reading it.
  if (target_exists && from.st_dev == to.st_dev && from.st_ino == to.st_ino) return EINVAL;

  if (S_ISLNK(from.st_mode)) {
    std::string link(4096, '\0');
    const ssize_t size = ::readlink(source.c_str(), link.data(), link.size());
    if (size < 0) return LastError();
    if (static_cast<std::size_t>(size) == link.size()) return ENAMETOOLONG;
    link.resize(static_cast<std::size_t>(size));
    if (target_exists) {
      if (S_ISDIR(to.st_mode)) return EISDIR;
      if (::unlink(target.c_str()) != 0) return LastError();
    }
    return ::symlink(link.c_str(), target.c_str()) == 0 ? 0 : LastError();
  }
  if (!S_ISDIR(from.st_mode)) {
    if (!S_ISREG(from.st_mode)) return kSpecialFile;
    if (target_exists && S_ISDIR(to.st_mode)) return EISDIR;
    return CopyFileContent(source, target);
  }
  if (target_exists && !S_ISDIR(to.st_mode)) return ENOTDIR;
  if (!target_exists && ::mkdir(target.c_str(), (from.st_mode & 07777) | S_IRWXU) != 0) return LastError();
  std::vector<std::string> names;
  Status status = 0;
  if (!ListFolder(source, names, status)) return status;
  for (const std::string& name : names) {
    const Status child = CopyTree(source + "/" + name, target + "/" + name);
    if (status == 0) status = child;
  }
  if (target_exists) return status;  // merged into a folder that keeps its own
  // Last, as filling the folder changed its time.
  const struct timespec times[2] = {from.st_atim, from.st_mtim};
  if (::chmod(target.c_str(), from.st_mode & 07777) != 0 && status == 0) status = LastError();
  if (::utimensat(AT_FDCWD, target.c_str(), times, 0) != 0 && status == 0) status = LastError();
  return status;
}

// Adds what `path` holds to `content`, its files named below `prefix`.
bool AddContent(const std::string& path, const std::string& prefix, TreeContent& content) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return false;
  if (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode)) {
    content.files[prefix] = static_cast<std::uint64_t>(info.st_size);
    return true;
  }
  if (!S_ISDIR(info.st_mode)) return true;  // never copied
  std::vector<std::string> names;
  Status status = 0;
  if (!ListFolder(path, names, status)) return false;
  for (const std::string& name : names) {
    if (!AddContent(path + "/" + name, prefix.empty() ? name : prefix + "/" + name, content)) return false;
  }
  return true;
}

std::optional<TreeContent> ContentAt(const std::string& path) {
  struct stat info {};
  if (path.empty() || ::lstat(path.c_str(), &info) != 0) return std::nullopt;
  TreeContent content;
  content.folder = S_ISDIR(info.st_mode);
  if (!AddContent(path, "", content)) return std::nullopt;
  return content;
}

// True when `target` holds every file of `source` with its size.
bool HoldsAllOf(const std::string& target, const std::string& source) {
  const std::optional<TreeContent> expected = ContentAt(source);
  const std::optional<TreeContent> copy = ContentAt(target);
  return expected && copy && MatchContent(*expected, *copy).Whole();
}

Status MoveTree(const std::string& source, const std::string& target) {
  struct stat from {};
  if (::lstat(source.c_str(), &from) != 0) return LastError();
  struct stat to {};
  const bool target_exists = ::lstat(target.c_str(), &to) == 0;
  if (target_exists && from.st_dev == to.st_dev && from.st_ino == to.st_ino) return 0;
  if (target_exists && S_ISDIR(to.st_mode) != S_ISDIR(from.st_mode)) return S_ISDIR(to.st_mode) ? EISDIR : ENOTDIR;
  if (::rename(source.c_str(), target.c_str()) == 0) return 0;
  const Status renamed = errno;
  if (S_ISDIR(from.st_mode) && target_exists && (renamed == ENOTEMPTY || renamed == EEXIST)) {
    // A folder onto a folder: merge, item by item.
    std::vector<std::string> names;
    Status status = 0;
    if (!ListFolder(source, names, status)) return status;
    for (const std::string& name : names) {
      const Status child = MoveTree(source + "/" + name, target + "/" + name);
      if (status == 0) status = child;
    }
    if (status == 0 && ::rmdir(source.c_str()) != 0) status = LastError();
    return status;
  }
  if (renamed != EXDEV) return renamed;
  // Another file system: copy, and remove the source only once the target is seen to hold all of it.
  const Status copied = CopyTree(source, target);
  if (copied != 0) return copied;
  return HoldsAllOf(target, source) ? RemoveTree(source) : EIO;
}

// A folder may not be copied or moved into its own tree.
bool Inside(const std::string& path, const std::string& folder) {
  return !folder.empty() && path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
         path[folder.size()] == '/';
}

std::string RealPathOf(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return {};
  std::string real = resolved;
  std::free(resolved);
  return real;
}

// The real path of the item at `path` itself: its folder resolved, its own
// name kept (a link there is the item, not what it leads to).
std::string RealTarget(const std::string& target) {
  const std::string folder = RealPathOf(posix::ParentFolder(target));
  if (folder.empty()) return {};
  return (folder == "/" ? folder : folder + "/") + BaseName(target);
}

class PosixFileOperations final : public FileOperations {
 public:
  FileOperationResult Run(FileOperationKind kind, const std::string& source, const std::string& destination,
                          unsigned /*flags*/) override {
    Status status = 0;
    if (source.empty()) {
      status = ENOENT;
    } else if (kind == FileOperationKind::Delete) {
      status = RemoveTree(source);
    } else if (destination.empty()) {
      status = ENOENT;
    } else {
      const std::string target = destination.back() == '/' ? destination + BaseName(source) : destination;
      // Only a folder (not a link to one: links are copied as links) can hold its own target.
      struct stat info {};
      const bool folder = ::lstat(source.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
      if (Inside(target, source) || (folder && Inside(RealTarget(target), RealTarget(source)))) {
        status = EINVAL;
      } else {
        status = kind == FileOperationKind::Copy ? CopyTree(source, target) : MoveTree(source, target);
      }
    }
    return FileOperationResult{status == 0, status, false};
  }

  PathKind KindOf(const std::string& path) const override {
    struct stat info {};
    if (path.empty()) return PathKind::Missing;
    if (::lstat(path.c_str(), &info) != 0) {
      return errno == ENOENT || errno == ENOTDIR ? PathKind::Missing : PathKind::Unknown;
    }
    return KindOfMode(info.st_mode);
  }

  std::optional<FileIdentity> IdentityOf(const std::string& path) const override {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
  }

  std::optional<TreeContent> ContentOf(const std::string& path) const override { return ContentAt(path); }

  std::string RealPath(const std::string& path) const override { return RealPathOf(path); }

  char Separator() const override { return '/'; }
};

}  // namespace

std::unique_ptr<FileOperations> MakeSystemFileOperations() { return std::make_unique<PosixFileOperations>(); }

}  // namespace quellor::platform
