// The POSIX file operations where files can be lost: a full disk, a kill in
// the middle of a copy, links at the target, FIFOs and devices, links that
// lead a folder into its own tree; and the whole-file writer at links and
// devices. On real files; the full disk is a small tmpfs mount (root only).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/file_io.h"
#include "platform/file_operations.h"
#include "platform/folder_listing.h"
#include "support/temp_tree.h"

namespace quellor::platform {
namespace {

namespace fs = std::filesystem;

class HostileFilesTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& relative) const { return temp_.Path(relative); }
  void MakeFile(const std::string& relative, const std::string& bytes) const { temp_.Write(relative, bytes); }
  std::optional<std::string> Content(const std::string& relative) const { return temp_.Read(relative); }
  // Into the folder `to_folder`, under its own name.
  OperationResult Copy(const std::string& from, const std::string& to_folder) {
    return CopyPath(Path(from), Path(to_folder));
  }
  OperationResult CopyPath(const std::string& from, const std::string& to_folder) {
    return files_->Copy(from, PathKind::Unknown, to_folder + "/" + fs::path(from).filename().string(),
                        OnClash::Overwrite, nullptr);
  }
  // Names in `folder` that a copy uses while it writes.
  std::vector<std::string> Leftovers(const std::string& folder) const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(root_ / folder)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind(".quellor-copy-", 0) == 0) found.push_back(name);
    }
    return found;
  }

  testing::TempTree temp_;
  fs::path root_ = temp_.path();
  std::unique_ptr<FileOperations> files_ = MakeSystemFileOperations();
};

TEST_F(HostileFilesTest, FullDiskKeepsTheOldFileAndLeavesNoPartialCopy) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs needs root";
  fs::create_directories(root_ / "full");
  if (::mount("tmpfs", Path("full").c_str(), "tmpfs", 0, "size=256k") != 0) {
    GTEST_SKIP() << "tmpfs cannot be mounted here: " << std::strerror(errno);
  }
  struct Unmount {
    std::string at;
    ~Unmount() { ::umount(at.c_str()); }
  } unmount{Path("full")};
  MakeFile("full/big.bin", "old content");
  MakeFile("src/big.bin", std::string(1 << 20, 'n'));

  const OperationResult result = Copy("src/big.bin", "full");
  EXPECT_EQ(result.outcome, ItemOutcome::Failed);
  EXPECT_EQ(result.code, ENOSPC);
  EXPECT_EQ(Content("full/big.bin"), "old content");
  EXPECT_TRUE(Leftovers("full").empty());
}

TEST_F(HostileFilesTest, KilledMidCopyLeavesNothingUnderTheFinalName) {
  MakeFile("src/big.bin", std::string(4 << 20, 'n'));
  MakeFile("dst/big.bin", "old content");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The system ends the copy (SIGXFSZ) once 1 MiB of it is written.
    const rlimit limit{1 << 20, 1 << 20};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    Copy("src/big.bin", "dst");
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the copy was meant to be cut off";
  EXPECT_EQ(Content("dst/big.bin"), "old content");
  // The cut-off copy lies under its temporary name only.
  ASSERT_EQ(Leftovers("dst").size(), 1u);
  EXPECT_EQ(fs::file_size(root_ / "dst" / Leftovers("dst")[0]), 1u << 20);
}

TEST_F(HostileFilesTest, ALinkAtTheTargetIsNeitherWrittenThroughNorReplaced) {
  MakeFile("src/report.txt", "the source");
  MakeFile("elsewhere.txt", "elsewhere");
  fs::create_directories(root_ / "dst");
  fs::create_symlink(root_ / "elsewhere.txt", root_ / "dst/report.txt");
  EXPECT_EQ(Copy("src/report.txt", "dst").outcome, ItemOutcome::LinkAtTarget);
  EXPECT_TRUE(fs::is_symlink(root_ / "dst/report.txt"));
  EXPECT_EQ(Content("elsewhere.txt"), "elsewhere");
}

TEST_F(HostileFilesTest, FifosAndDevicesAreNeverRead) {
  fs::create_directories(root_ / "src/tree");
  fs::create_directories(root_ / "dst");
  ASSERT_EQ(::mkfifo(Path("src/pipe").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(Path("src/tree/pipe").c_str(), 0600), 0);
  MakeFile("src/tree/plain.txt", "plain");
  EXPECT_EQ(files_->KindOf(Path("src/pipe")), PathKind::Special);
  EXPECT_EQ(files_->KindOf("/dev/zero"), PathKind::Special);

  // Each of these would block for ever or fill the disk if it were read.
  EXPECT_EQ(Copy("src/pipe", "dst").outcome, ItemOutcome::SpecialFile);
  EXPECT_EQ(CopyPath("/dev/zero", Path("dst")).outcome, ItemOutcome::SpecialFile);
  EXPECT_FALSE(fs::exists(root_ / "dst/zero"));
  // In a folder: the rest is copied, the item counts as failed.
  EXPECT_EQ(Copy("src/tree", "dst").outcome, ItemOutcome::SpecialFile);
  EXPECT_EQ(Content("dst/tree/plain.txt"), "plain");
  EXPECT_FALSE(fs::exists(root_ / "dst/tree/pipe"));
}

TEST_F(HostileFilesTest, AFolderIsNotCopiedIntoItsOwnTreeThroughALinkedTarget) {
  MakeFile("src/a.txt", "a");
  fs::create_symlink(root_ / "src", root_ / "into-src");
  EXPECT_EQ(Copy("src", "into-src").outcome, ItemOutcome::IntoItself);
  EXPECT_FALSE(fs::exists(root_ / "src/src"));
  EXPECT_EQ(files_->RealPath(Path("into-src")), fs::canonical(root_ / "src").string());
}

TEST_F(HostileFilesTest, CopiesKeepTheModificationTimeAndPermissionBits) {
  MakeFile("src/tree/old.txt", "old");
  MakeFile("src/single.sh", "#!/bin/sh");
  const auto then = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
  fs::last_write_time(root_ / "src/tree/old.txt", then);
  fs::last_write_time(root_ / "src/tree", then);
  fs::permissions(root_ / "src/single.sh", fs::perms(0750));
  fs::last_write_time(root_ / "src/single.sh", then);
  fs::create_directories(root_ / "dst");

  ASSERT_TRUE(Copy("src/tree", "dst").Done());
  ASSERT_TRUE(Copy("src/single.sh", "dst").Done());
  EXPECT_EQ(fs::last_write_time(root_ / "dst/tree/old.txt"), then);
  EXPECT_EQ(fs::last_write_time(root_ / "dst/tree"), then);
  EXPECT_EQ(fs::last_write_time(root_ / "dst/single.sh"), then);
  EXPECT_EQ(fs::status(root_ / "dst/single.sh").permissions(), fs::perms(0750));
}

TEST_F(HostileFilesTest, AMoveAcrossFileSystemsKeepsTheModificationTime) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a tmpfs needs root";
  fs::create_directories(root_ / "other");
  if (::mount("tmpfs", Path("other").c_str(), "tmpfs", 0, "size=1m") != 0) {
    GTEST_SKIP() << "tmpfs cannot be mounted here: " << std::strerror(errno);
  }
  struct Unmount {
    std::string at;
    ~Unmount() { ::umount(at.c_str()); }
  } unmount{Path("other")};
  MakeFile("src/old.txt", "old");
  const auto then = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
  fs::last_write_time(root_ / "src/old.txt", then);
  ASSERT_TRUE(files_->Move(Path("src/old.txt"), PathKind::File, Path("other/old.txt"), OnClash::Refuse, nullptr).Done());
  EXPECT_FALSE(fs::exists(root_ / "src/old.txt"));
  EXPECT_EQ(fs::last_write_time(root_ / "other/old.txt"), then);
}

TEST_F(HostileFilesTest, WholeFileWriterFollowsLinksAndWritesDevicesInPlace) {
  MakeFile("real/report.txt", "old");
  fs::create_directories(root_ / "links");
  fs::create_symlink("../real/report.txt", root_ / "links/report.txt");
  ASSERT_TRUE(WriteWholeFileReplacing(Path("links/report.txt"), "new"));
  EXPECT_TRUE(fs::is_symlink(root_ / "links/report.txt")) << "the link stays a link";
  EXPECT_EQ(Content("real/report.txt"), "new");

  // A dangling link: the file it names is created, as `>` would.
  fs::create_symlink(root_ / "real/later.txt", root_ / "links/later.txt");
  ASSERT_TRUE(WriteWholeFileReplacing(Path("links/later.txt"), "later"));
  EXPECT_EQ(Content("real/later.txt"), "later");

  // A device and a link to one take the bytes; neither becomes a file.
  fs::create_symlink("/dev/null", root_ / "links/null");
  EXPECT_TRUE(WriteWholeFileReplacing(Path("links/null"), "gone"));
  EXPECT_TRUE(fs::is_symlink(root_ / "links/null"));
  EXPECT_TRUE(WriteWholeFileReplacing("/dev/null", "gone"));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_FALSE(WriteWholeFileReplacing("/dev/full", "no room"));
}

TEST_F(HostileFilesTest, AFolderThatCannotBeReadIsMarkedSoInItsListing) {
  fs::create_directories(root_ / "closed");
  FolderReader reader(root_.string());
  FolderListing listing;
  const std::string too_long = root_.string() + "/" + std::string(MaxPathLength(), 'x');
  EXPECT_FALSE(reader.Read(too_long, listing));
  EXPECT_EQ(listing.Problem(), ReadProblem::TooLong);
  EXPECT_FALSE(reader.Read(Path("missing"), listing));
  EXPECT_EQ(listing.Problem(), ReadProblem::Unreadable);
  EXPECT_TRUE(reader.Read(Path("closed"), listing));
  EXPECT_EQ(listing.Problem(), ReadProblem::None);
}

}  // namespace
}  // namespace quellor::platform
