#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/posix/path_posix.h"
#include "platform/posix/write_all_posix.h"

namespace quellor::platform {

namespace {

int LastError() { return errno != 0 ? errno : EIO; }

// The codes the rules tell apart.
int Code(int error) {
  if (error == EEXIST) return kTargetTaken;
  return error == EXDEV ? kOtherVolume : error;
}

ItemState StateOf(const struct stat& info) {
  ItemState state;
  const mode_t mode = info.st_mode;
  state.kind = S_ISDIR(mode)   ? PathKind::Folder
               : S_ISREG(mode) ? PathKind::File
               : S_ISLNK(mode) ? PathKind::Link
                               : PathKind::Special;
  state.size = S_ISDIR(mode) ? 0 : static_cast<std::uint64_t>(info.st_size);
  state.modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  return state;
}

ItemState LookAt(int folder, const char* name) {
  struct stat info {};
  if (::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0) return StateOf(info);
  ItemState state;
  state.error = errno;
  state.kind = errno == ENOENT || errno == ENOTDIR ? PathKind::Missing : PathKind::Unknown;
  return state;
}

// Whether `path` is still the item `found` saw: of its kind (a regular file
// read since is no FIFO now, a folder no link).
bool StillAsFound(const std::string& path, const ItemState& found) {
  return LookAt(AT_FDCWD, path.c_str()).kind == found.kind;
}

// `source` renamed to `target` where nothing is: renameat2's own check where
// the file system has it, else a link, which fails on a taken name too.
int RenameNoReplace(const std::string& source, const std::string& target) {
#ifdef SYS_renameat2
  constexpr unsigned kNoReplace = 1;  // RENAME_NOREPLACE
  if (::syscall(SYS_renameat2, AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), kNoReplace) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return Code(LastError());
#endif
  // A hard link fails on a taken name as well; where files take none (and
  // for folders and links), a look, then a rename.
  struct stat info {};
  if (::lstat(source.c_str(), &info) != 0) return Code(LastError());
  if (S_ISREG(info.st_mode)) {
    if (::link(source.c_str(), target.c_str()) == 0) return ::unlink(source.c_str()) == 0 ? 0 : LastError();
    if (errno != EPERM && errno != ENOSYS && errno != EOPNOTSUPP) return Code(LastError());
  }
  if (::lstat(target.c_str(), &info) == 0) return kTargetTaken;
  return ::rename(source.c_str(), target.c_str()) == 0 ? 0 : Code(LastError());
}

// `copied` gets the bytes read and the source's time once they were.
int CopyContent(int in, const std::string& target, bool replace, ItemState& copied) {
  std::string temp = posix::ParentFolder(target) + "/.quellor-copy-XXXXXX";
  const int out = ::mkostemp(temp.data(), O_CLOEXEC);
  if (out < 0) return LastError();
  int status = 0;
  std::uint64_t bytes = 0;
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
    bytes += static_cast<std::uint64_t>(got);
  }
  struct stat from {};
  if (status == 0 && ::fstat(in, &from) != 0) status = LastError();
  copied = StateOf(from);
  copied.size = bytes;
  const struct timespec times[2] = {from.st_atim, from.st_mtim};
  if (status == 0 && ::fchmod(out, from.st_mode & 0777) != 0) status = LastError();
  if (status == 0 && ::futimens(out, times) != 0) status = LastError();
  if (::close(out) != 0 && status == 0) status = LastError();
  if (status == 0) {
    status = replace ? (::rename(temp.c_str(), target.c_str()) == 0 ? 0 : Code(LastError()))
                     : RenameNoReplace(temp, target);
  }
  if (status != 0) ::unlink(temp.c_str());
  return status;
}

class PosixFileSystem final : public FileSystem {
 public:
  ItemState Look(const std::string& path) const override {
    if (path.empty()) return ItemState{};
    return LookAt(AT_FDCWD, path.c_str());
  }

  int List(const std::string& folder, std::vector<FolderItem>& items) const override {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return LastError();
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
      const int error = LastError();
      ::close(fd);
      return error;
    }
    int status = 0;
    for (;;) {
      errno = 0;
      const dirent* entry = ::readdir(dir);
      if (entry == nullptr) {
        status = errno;
        break;
      }
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      items.push_back(FolderItem{name, LookAt(::dirfd(dir), entry->d_name)});
    }
    ::closedir(dir);
    return status;
  }

  std::optional<FileIdentity> IdentityOf(const std::string& path) const override {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
  }

  std::string RealPath(const std::string& path) const override {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return {};
    std::string real = resolved;
    std::free(resolved);
    return real;
  }

  int CreateFolder(const std::string& path) override {
    // Open to the owner until it is filled; CopyFolderTimes gives it the source's bits.
    return ::mkdir(path.c_str(), 0700) == 0 ? 0 : Code(LastError());
  }

  int CopyFile(const std::string& source, const ItemState& found, const std::string& target, bool replace,
               ItemState& copied) override {
    if (found.kind != PathKind::File) return kNotTheItem;
    // O_NOFOLLOW and O_NONBLOCK: a link or FIFO put in the file's place since it was listed is neither followed nor waited on.
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (in < 0) return errno == ELOOP ? kNotTheItem : LastError();
    struct stat from {};
    int status = ::fstat(in, &from) != 0 ? LastError() : !S_ISREG(from.st_mode) ? kNotTheItem : 0;
    const int flags = status == 0 ? ::fcntl(in, F_GETFL) : 0;
    if (status == 0 && (flags < 0 || ::fcntl(in, F_SETFL, flags & ~O_NONBLOCK) != 0)) status = LastError();
    if (status == 0) status = CopyContent(in, target, replace, copied);
    ::close(in);
    return status;
  }

  int CopyLink(const std::string& source, const std::string& target) override {
    std::string link(4096, '\0');
    const ssize_t size = ::readlink(source.c_str(), link.data(), link.size());
    if (size < 0) return errno == EINVAL ? kNotTheItem : LastError();
    if (static_cast<std::size_t>(size) == link.size()) return ENAMETOOLONG;
    link.resize(static_cast<std::size_t>(size));
    return ::symlink(link.c_str(), target.c_str()) == 0 ? 0 : Code(LastError());
  }

  int Rename(const std::string& source, const ItemState& found, const std::string& target, bool replace) override {
    if (!StillAsFound(source, found)) return kNotTheItem;
    if (!replace) return RenameNoReplace(source, target);
    // Only a file is put over a file: rename(2) would also put a folder over an empty one.
    if (found.kind != PathKind::File) return kTargetTaken;
    return ::rename(source.c_str(), target.c_str()) == 0 ? 0 : Code(LastError());
  }

  int Remove(const std::string& path, const ItemState& found) override {
    if (!StillAsFound(path, found)) return kNotTheItem;
    // Neither call follows a link: unlink removes the link, rmdir refuses one.
    const int removed = found.kind == PathKind::Folder ? ::rmdir(path.c_str()) : ::unlink(path.c_str());
    return removed == 0 ? 0 : LastError();
  }

  int CopyFolderTimes(const std::string& source, const std::string& target) override {
    struct stat from {};
    if (::lstat(source.c_str(), &from) != 0) return LastError();
    const struct timespec times[2] = {from.st_atim, from.st_mtim};
    if (::chmod(target.c_str(), from.st_mode & 07777) != 0) return LastError();
    return ::utimensat(AT_FDCWD, target.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : LastError();
  }

  char Separator() const override { return '/'; }
  bool NamesIgnoreCase() const override { return false; }
};

}  // namespace

std::unique_ptr<FileSystem> MakeSystemFileSystem() { return std::make_unique<PosixFileSystem>(); }

}  // namespace quellor::platform
