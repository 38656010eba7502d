// A Windows listing that fails half way is a folder not read, never a folder
// with fewer files.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/folder_listing.h"
#include "platform/win32/folder_listing_win32.h"
#include "support/temp_tree.h"

namespace quellor::platform::win32 {
namespace {

int entries_before_failure = 0;
DWORD failure = 0;

BOOL WINAPI FailingFindNext(HANDLE find, LPWIN32_FIND_DATAW data) {
  if (entries_before_failure-- > 0) return FindNextFileW(find, data);
  SetLastError(failure);
  return FALSE;
}

TEST(FolderListingWin32, OnlyTheEndOfTheEntriesEndsAListing) {
  testing::TempTree t;
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) t.Write(name, "x");
  struct Restore {
    ~Restore() { find_next_entry = &FindNextFileW; }
  } restore;
  find_next_entry = &FailingFindNext;
  for (const DWORD error : {DWORD{ERROR_NO_MORE_FILES}, DWORD{ERROR_NETNAME_DELETED}, DWORD{ERROR_ACCESS_DENIED}}) {
    SCOPED_TRACE(error);
    entries_before_failure = 2;
    failure = error;
    FolderListing listing;
    const bool read = FolderReader(t.Root()).Read(t.Root(), listing);
    if (error == ERROR_NO_MORE_FILES) {
      EXPECT_TRUE(read);
      EXPECT_EQ(listing.Problem(), ReadProblem::None);
    } else {
      EXPECT_FALSE(read);
      EXPECT_EQ(listing.size(), 0u);
      EXPECT_EQ(listing.Problem(), ReadProblem::Unreadable);
    }
  }
}

}  // namespace
}  // namespace quellor::platform::win32
