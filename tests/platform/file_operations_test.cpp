// The system's file operations on a real temporary tree.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "platform/file_io.h"
#include "platform/file_operations.h"
#include "platform/folder_listing.h"
#include "support/temp_tree.h"

namespace quellor::platform {
namespace {

class FileOperationsTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& relative) const { return temp_.Path(relative); }
  void MakeFile(const std::string& relative, const std::string& bytes) const {
    std::filesystem::create_directories((root_ / relative).parent_path());
    ASSERT_TRUE(WriteWholeFileReplacing(Path(relative), bytes));
  }
  std::optional<std::string> Content(const std::string& relative) const { return ReadWholeFile(Path(relative)); }
  PathKind Kind(const std::string& relative) const { return files_->KindOf(Path(relative)); }
  FileOperationResult Run(FileOperationKind kind, const std::string& from, const std::string& to,
                          unsigned flags = kFileOpNoConfirmation) {
    return files_->Run(kind, Path(from), to.empty() ? std::string() : Path(to), flags);
  }

  testing::TempTree temp_;
  std::filesystem::path root_ = temp_.path();
  std::unique_ptr<FileOperations> files_ = MakeSystemFileOperations();
};

TEST_F(FileOperationsTest, KindOfTellsFilesFoldersAndNothing) {
  MakeFile("d/f.txt", "x");
  EXPECT_EQ(Kind("d"), PathKind::Folder);
  EXPECT_EQ(Kind("d/f.txt"), PathKind::File);
  EXPECT_EQ(Kind("d/none"), PathKind::Missing);
  EXPECT_EQ(files_->KindOf(""), PathKind::Missing);
  // A name no file system takes: the lookup cannot tell, and says so.
  EXPECT_EQ(Kind(std::string(300, 'n')), PathKind::Unknown);
}

// A listing tells what each entry is itself, a link not followed. Windows
// programs cannot make the links under Wine: there the tree comes from the
// Linux side (QUELLOR_LINUX_LINKS), and Wine shows a link to a folder as a
// reparse point without a tag, a link to a file (and a FIFO) as a file.
TEST_F(FileOperationsTest, AListingGivesEachEntrysOwnKind) {
#ifdef _WIN32
  const char* made = std::getenv("QUELLOR_LINUX_LINKS");
  if (made == nullptr) GTEST_SKIP() << "QUELLOR_LINUX_LINKS names no tree";
  std::string folder = std::string("Z:") + made;
  std::replace(folder.begin(), folder.end(), '/', '\\');
  const std::map<std::string, PathKind> expected = {{"file", PathKind::File},         {"folder", PathKind::Folder},
                                                    {"file-link", PathKind::File},    {"folder-link", PathKind::Link},
                                                    {"fifo", PathKind::File}};
#else
  const std::string folder = temp_.Root();
  MakeFile("file", "x");
  temp_.Folder("folder");
  std::filesystem::create_symlink(Path("file"), Path("file-link"));
  std::filesystem::create_directory_symlink(Path("folder"), Path("folder-link"));
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  const std::map<std::string, PathKind> expected = {{"file", PathKind::File},         {"folder", PathKind::Folder},
                                                    {"file-link", PathKind::Link},    {"folder-link", PathKind::Link},
                                                    {"fifo", PathKind::Special}};
#endif
  FolderListing listing;
  ASSERT_TRUE(FolderReader(folder).Read(folder, listing)) << folder;
  std::map<std::string, PathKind> kinds;
  for (std::size_t i = 0; i < listing.size(); ++i) kinds[std::string(listing[i].name)] = listing[i].kind;
  EXPECT_EQ(kinds, expected);
}

TEST_F(FileOperationsTest, CopyIntoAFolderOverwritesAndCopiesWholeTrees) {
  MakeFile("src/a.txt", "new");
  MakeFile("src/tree/sub/deep.txt", "deep");
  MakeFile("out/a.txt", "old");
  MakeFile("out/tree/other.txt", "other");
  EXPECT_TRUE(Run(FileOperationKind::Copy, "src/a.txt", "out/").succeeded);
  EXPECT_EQ(Content("out/a.txt"), "new");
  EXPECT_TRUE(Run(FileOperationKind::Copy, "src/tree", "out/").succeeded);
  EXPECT_EQ(Content("out/tree/sub/deep.txt"), "deep");
  EXPECT_EQ(Content("out/tree/other.txt"), "other") << "a folder is merged into";
  EXPECT_EQ(Content("src/a.txt"), "new");
}

TEST_F(FileOperationsTest, AnExplicitTargetNameIsTaken) {
  MakeFile("src/a.txt", "new");
  MakeFile("src/tree/t.txt", "t");
  MakeFile("out/a.txt", "old");
  MakeFile("out/tree/keep.txt", "keep");
  const unsigned rename = kFileOpNoConfirmation | kFileOpRenameOnCollision;
  EXPECT_TRUE(Run(FileOperationKind::Copy, "src/a.txt", "out/a (2).txt", rename).succeeded);
  EXPECT_TRUE(Run(FileOperationKind::Move, "src/tree", "out/tree (2)", rename).succeeded);
  EXPECT_EQ(Content("out/a.txt"), "old");
  EXPECT_EQ(Content("out/a (2).txt"), "new");
  EXPECT_EQ(Content("out/tree (2)/t.txt"), "t");
  EXPECT_EQ(Kind("out/tree (2)/keep.txt"), PathKind::Missing);
  EXPECT_EQ(Kind("src/tree"), PathKind::Missing);
}

TEST_F(FileOperationsTest, MoveReplacesAndRemovesTheSource) {
  MakeFile("src/a.txt", "new");
  MakeFile("src/tree/sub/deep.txt", "deep");
  MakeFile("out/a.txt", "old");
  EXPECT_TRUE(Run(FileOperationKind::Move, "src/a.txt", "out/").succeeded);
  EXPECT_TRUE(Run(FileOperationKind::Move, "src/tree", "out/").succeeded);
  EXPECT_EQ(Content("out/a.txt"), "new");
  EXPECT_EQ(Content("out/tree/sub/deep.txt"), "deep");
  EXPECT_EQ(Kind("src/a.txt"), PathKind::Missing);
  EXPECT_EQ(Kind("src/tree"), PathKind::Missing);
}

TEST_F(FileOperationsTest, DeleteTakesAWholeTree) {
  MakeFile("tree/sub/deep.txt", "deep");
  MakeFile("f.txt", "f");
  EXPECT_TRUE(Run(FileOperationKind::Delete, "tree", "").succeeded);
  EXPECT_TRUE(Run(FileOperationKind::Delete, "f.txt", "").succeeded);
  EXPECT_EQ(Kind("tree"), PathKind::Missing);
  EXPECT_EQ(Kind("f.txt"), PathKind::Missing);
}

TEST_F(FileOperationsTest, FailuresAreReported) {
  MakeFile("out/x", "x");
  MakeFile("file", "f");
  EXPECT_FALSE(Run(FileOperationKind::Copy, "missing.txt", "out/").succeeded);
  EXPECT_FALSE(Run(FileOperationKind::Delete, "missing.txt", "").succeeded);
  EXPECT_EQ(Content("file"), "f");
}

TEST_F(FileOperationsTest, CopyOntoItselfKeepsTheContent) {
  MakeFile("out/a.txt", "precious");
  Run(FileOperationKind::Copy, "out/a.txt", "out/");
  EXPECT_EQ(Content("out/a.txt"), "precious");
}

TEST_F(FileOperationsTest, AWildcardInAWindowsPathIsNeverExpanded) {
  if (files_->Separator() != '\\') GTEST_SKIP() << "POSIX names may hold '*' and '?' as plain characters";
  MakeFile("d/a.txt", "a");
  MakeFile("d/b.txt", "b");
  MakeFile("out/keep", "k");
  EXPECT_FALSE(Run(FileOperationKind::Delete, "d/*", "").succeeded);
  EXPECT_FALSE(Run(FileOperationKind::Move, "d/?.txt", "out/").succeeded);
  EXPECT_FALSE(Run(FileOperationKind::Copy, "d/a.txt", "out/*").succeeded);
  EXPECT_EQ(Content("d/a.txt"), "a");
  EXPECT_EQ(Content("d/b.txt"), "b");
  EXPECT_EQ(Kind("out/a.txt"), PathKind::Missing);
  // Nothing may be concluded about such a path: a delete must not take its row for gone.
  EXPECT_EQ(Kind("d/*"), PathKind::Unknown);
}

}  // namespace
}  // namespace quellor::platform
