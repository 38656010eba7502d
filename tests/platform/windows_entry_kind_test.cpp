// Which Windows folder entries are links: a folder is entered by the walk, a
// link never. The rule's table, with the tags Windows file systems set.
#include <gtest/gtest.h>

#include "platform/windows_entry_kind.h"

namespace quellor::platform {
namespace {

TEST(WindowsEntryKind, OnlyNameSurrogatesAndUntaggedReparsePointsAreLinks) {
  constexpr std::uint32_t kFile = 0x20, kFolder = kWindowsFolderAttribute, kReparse = kWindowsReparsePointAttribute;
  struct Case {
    const char* what;
    std::uint32_t attributes, tag;
    PathKind kind;
  };
  const Case cases[] = {
      {"a file", kFile, 0, PathKind::File},
      {"a folder", kFolder, 0, PathKind::Folder},
      {"a junction", kFolder | kReparse, 0xA0000003, PathKind::Link},
      {"a symbolic link to a folder", kFolder | kReparse, 0xA000000C, PathKind::Link},
      {"a symbolic link to a file", kFile | kReparse, 0xA000000C, PathKind::Link},
      {"a Unix link to a folder under Wine (no tag)", kFolder | kReparse, 0, PathKind::Link},
      {"a cloud-file placeholder folder", kFolder | kReparse, 0x9000601A, PathKind::Folder},
      {"a cloud-file placeholder file", kFile | kReparse, 0x9000001A, PathKind::File},
      {"a deduplicated file", kFile | kReparse, 0x80000013, PathKind::File},
      {"a projected file system's folder", kFolder | kReparse, 0x9000001C, PathKind::Folder},
      {"a container layer's folder", kFolder | kReparse, 0x90001018, PathKind::Folder},
      {"an app execution alias", kFile | kReparse, 0x8000001B, PathKind::File},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WindowsEntryKind(c.attributes, c.tag), c.kind) << c.what;
  }
}

}  // namespace
}  // namespace quellor::platform
