// A folder's listing tells what each entry is itself, a link not followed,
// and which entries a walk enters.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <map>

#include "platform/folder_listing.h"
#include "support/temp_tree.h"

namespace quellor::platform {
namespace {

TEST(FolderListing, GivesEachEntrysOwnKind) {
  testing::TempTree t;
  t.Write("file", "x");
  t.Folder("folder");
  ASSERT_TRUE(t.FileLink("file-link", t.Path("file")) && t.FolderLink("folder-link", t.Path("folder")) &&
              t.FolderLink("loop", t.Root()))
      << "links cannot be made here";
  std::map<std::string, PathKind> expected = {{"file", PathKind::File},
                                              {"folder", PathKind::Folder},
                                              {"file-link", PathKind::Link},
                                              {"folder-link", PathKind::Link},
                                              {"loop", PathKind::Link}};
#ifdef _WIN32
  // Wine shows a Unix link to a folder as a reparse point without a tag, one to a file as the file.
  if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr) {
    expected["file-link"] = PathKind::File;
  }
#else
  ASSERT_EQ(::mkfifo(t.Path("fifo").c_str(), 0600), 0);
  expected["fifo"] = PathKind::Special;
#endif
  FolderListing listing;
  ASSERT_TRUE(FolderReader(t.Root()).Read(t.Root(), listing));
  std::map<std::string, PathKind> kinds;
  for (std::size_t i = 0; i < listing.size(); ++i) {
    kinds[std::string(listing[i].name)] = listing[i].kind;
    // A link to a folder, one to the folder itself included, is never entered.
    EXPECT_EQ(listing[i].enterable, listing[i].name == "folder") << listing[i].name;
  }
  EXPECT_EQ(kinds, expected);
}

}  // namespace
}  // namespace quellor::platform
