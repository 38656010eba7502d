// Copying and moving into a folder: what the platform calls done is checked
// against what the disk shows (file operations that report success after
// writing half a file, nothing, or a copy where a move was asked), and free
// names on a clash.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "files/file_transfer.h"
#include "platform/system_charset.h"
#include "support/forwarding_file_operations.h"
#include "support/spoiling_file_operations.h"
#include "support/temp_tree.h"

namespace quellor::testing {
namespace {

namespace fs = std::filesystem;
using Kind = SpoilingFileOperations::Kind;
using Outcome = files::TransferOutcome;

struct Case {
  const char* what;
  Kind kind;
  bool folder;  // a folder of three files (100, 200 and 300 bytes), else one file of 1000 bytes
  bool carry_out;
  std::optional<Kind> carry_out_as;
  std::function<void(const fs::path&)> spoil;
  Outcome outcome;
  // TargetNotWhole: what the target holds.
  bool same_kind = true;
  std::size_t files_whole = 0;
  std::uint64_t bytes = 0;
};

void WriteBeside(const fs::path& path) { std::ofstream(path) << "not the folder"; }
void AddExtraFile(const fs::path& folder) { std::ofstream(folder / "extra.txt") << "was there"; }

TEST(TransferCheck, WhatThePlatformCallsDoneIsLookedAt) {
  const Case cases[] = {
      {"an honest copy", Kind::Copy, false, true, {}, {}, Outcome::Done},
      {"half a file", Kind::Copy, false, true, {}, CutToHalf, Outcome::TargetNotWhole, true, 0, 500},
      {"nothing written", Kind::Copy, false, false, {}, {}, Outcome::TargetNotWhole, true, 0, 0},
      {"half of one file of a folder", Kind::Copy, true, true, {}, CutFirstFileToHalf, Outcome::TargetNotWhole, true,
       2, 550},
      {"a file where the folder should be", Kind::Copy, true, false, {}, WriteBeside, Outcome::TargetNotWhole, false},
      {"a folder merged into one that holds more", Kind::Copy, true, true, {}, AddExtraFile, Outcome::Done},
      {"a move that wrote half", Kind::Move, false, true, {}, CutToHalf, Outcome::TargetNotWhole, true, 0, 500},
      {"a move that only copied", Kind::Move, true, true, Kind::Copy, {}, Outcome::SourceLeft},
      {"an honest move of a folder", Kind::Move, true, true, {}, {}, Outcome::Done},
  };
  const std::unique_ptr<platform::FileOperations> system = platform::MakeSystemFileOperations();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempTree temp;
    if (c.folder) {
      temp.Write("src/album/a.jpg", std::string(100, 'a'));
      temp.Write("src/album/b.jpg", std::string(200, 'b'));
      temp.Write("src/album/c.jpg", std::string(300, 'c'));
    } else {
      temp.Write("src/album", std::string(1000, 'f'));
    }
    temp.Folder("out");
    SpoilingFileOperations spoiling(*system);
    spoiling.carry_out = c.carry_out;
    spoiling.carry_out_as = c.carry_out_as;
    spoiling.spoil = c.spoil;
    const std::string source = temp.Path("src/album");
    const auto kind = c.kind == Kind::Copy ? files::TransferCommand::Kind::Copy : files::TransferCommand::Kind::Move;
    files::TransferCommand command(spoiling, platform::NameCharset(), kind, temp.Path("out") + system->Separator(),
                                   [&](const auto& each) {
                                     each(source);
                                     return true;
                                   });

    const files::TransferResult result = command.Transfer(source, platform::PathKind::Unknown, false);
    EXPECT_EQ(result.outcome, c.outcome);
    if (c.outcome != Outcome::TargetNotWhole) continue;
    EXPECT_EQ(result.held.same_kind, c.same_kind);
    if (!c.same_kind) continue;
    EXPECT_EQ(result.held.files, c.files_whole);
    EXPECT_EQ(result.held.files_expected, c.folder ? 3u : 1u);
    EXPECT_EQ(result.held.bytes, c.bytes);
    EXPECT_EQ(result.held.bytes_expected, c.folder ? 600u : 1000u);
  }
}

TEST(FreeName, NumbersBeforeTheExtension) {
  const std::unique_ptr<platform::FileOperations> system = platform::MakeSystemFileOperations();
  class TakenNames : public ForwardingFileOperations {
   public:
    using ForwardingFileOperations::ForwardingFileOperations;
    platform::PathKind KindOf(const std::string& path) const override {
      if (path.rfind("D:\\locked\\", 0) == 0) return platform::PathKind::Unknown;
      for (const std::string& name : taken)
        if (path == "D:\\t\\" + name) return platform::PathKind::File;
      return platform::PathKind::Missing;
    }
    std::vector<std::string> taken;
  } taken_names(*system);
  const text::Charset gbk = text::Charset::Gbk();
  taken_names.taken = {"a (2).txt"};
  EXPECT_EQ(files::FreeNameInFolder(taken_names, gbk, "D:\\t\\", "a.txt", false), "a (3).txt");
  EXPECT_EQ(files::FreeNameInFolder(taken_names, gbk, "D:\\t\\", "archive.tar.gz", false), "archive.tar (2).gz");
  EXPECT_EQ(files::FreeNameInFolder(taken_names, gbk, "D:\\t\\", ".profile", false), ".profile (2)");
  EXPECT_EQ(files::FreeNameInFolder(taken_names, gbk, "D:\\t\\", "noext", false), "noext (2)");
  EXPECT_EQ(files::FreeNameInFolder(taken_names, gbk, "D:\\t\\", "v1.0", true), "v1.0 (2)");
  EXPECT_EQ(files::FreeNameInFolder(taken_names, gbk, "D:\\t\\", "\xCE\xC4.\xBC\xFE", false), "\xCE\xC4 (2).\xBC\xFE");
  EXPECT_EQ(files::FreeNameInFolder(taken_names, gbk, "D:\\locked\\", "a.txt", false), "")
      << "a folder that cannot be looked into is not tried 100,000 times";
}

}  // namespace
}  // namespace quellor::testing
