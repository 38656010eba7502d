// Which paths go to the shell's recycle-bin delete as they are.
#include <gtest/gtest.h>

#include <cstddef>
#include <iterator>
#include <string>

#include "platform/recycle_bin_path.h"

namespace quellor::platform {
namespace {

TEST(RecycleBinPath, OnlyPathsTheShellReadsAsTheyAreAreHandedOver) {
  const std::u16string longest = u"C:\\" + std::u16string(kShellPathLimit - 4, u'a');  // 259 characters
  struct Case {
    std::u16string path;
    RecycleOutcome expected;
  };
  const Case cases[] = {
      {u"C:\\photos\\IMG 0001.jpg", RecycleOutcome::Handed},
      {longest, RecycleOutcome::Handed},
      {longest + u"a", RecycleOutcome::NameNotTaken},  // the shell's buffer holds 260 with its NUL
      {u"\\\\server\\share\\a.txt", RecycleOutcome::NetworkDrive},
      {u"\\\\?\\C:\\a.txt", RecycleOutcome::NameNotTaken},
      {u"C:\\a.txt.", RecycleOutcome::NameNotTaken},  // the shell would strip the dot: another file
      {u"C:\\folder \\a.txt", RecycleOutcome::NameNotTaken},
      {u"C:\\a\\..\\b.txt", RecycleOutcome::NameNotTaken},
      {u"C:\\a/b.txt", RecycleOutcome::NameNotTaken},
      {u"C:\\a*.txt", RecycleOutcome::NameNotTaken},  // a wildcard: every match would go
      {u"C:\\", RecycleOutcome::NameNotTaken},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(CheckRecycleBinPath(cases[i].path), cases[i].expected) << "case " << i;
  }
}

}  // namespace
}  // namespace quellor::platform
