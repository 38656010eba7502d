// The long form every file call is given: nothing of a name is lost, and the
// system folder is the one 64-bit programs see.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/long_path_win32.h"

namespace quellor::platform::win32 {
namespace {

TEST(LongPath, KeepsEveryNameAsItIs) {
  const struct {
    const wchar_t* path;
    const wchar_t* expected;
  } cases[] = {
      {L"C:\\a\\b.txt", L"\\\\?\\C:\\a\\b.txt"},
      {L"C:\\a\\b.txt.", L"\\\\?\\C:\\a\\b.txt."},
      {L"C:\\a\\b.txt ", L"\\\\?\\C:\\a\\b.txt "},
      {L"C:/a//./x/../b", L"\\\\?\\C:\\a\\b"},
      {L"D:\\", L"\\\\?\\D:\\"},
      {L"D:\\dir\\", L"\\\\?\\D:\\dir"},
      {L"\\\\server\\share\\a.", L"\\\\?\\UNC\\server\\share\\a."},
      {L"\\\\?\\C:\\a\\..\\b.", L"\\\\?\\C:\\a\\..\\b."},
  };
  for (const auto& c : cases) EXPECT_EQ(LongPath(c.path), c.expected) << c.path;
}

TEST(LongPath, ARelativePathStartsAtTheCurrentFolder) {
  wchar_t current[MAX_PATH] = {};
  ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, current), 0u);
  std::wstring expected = std::wstring(L"\\\\?\\") + current;
  if (expected.back() != L'\\') expected += L'\\';
  EXPECT_EQ(LongPath(L"sub\\name."), expected + L"sub\\name.");
}

TEST(SystemPath, TheSystemFolderIsTheOne64BitProgramsSee) {
  const struct {
    const wchar_t* path;
    bool redirected;
    const wchar_t* expected;
  } cases[] = {
      {L"\\\\?\\C:\\Windows\\System32", true, L"\\\\?\\C:\\Windows\\Sysnative"},
      {L"\\\\?\\c:\\windows\\system32\\drivers\\etc\\hosts", true,
       L"\\\\?\\C:\\Windows\\Sysnative\\drivers\\etc\\hosts"},
      {L"\\\\?\\C:\\Windows\\System32\\x", false, L"\\\\?\\C:\\Windows\\System32\\x"},
      {L"\\\\?\\C:\\Windows\\System32x\\a", true, L"\\\\?\\C:\\Windows\\System32x\\a"},
      {L"\\\\?\\C:\\Windows\\SysWOW64\\a", true, L"\\\\?\\C:\\Windows\\SysWOW64\\a"},
      {L"\\\\?\\D:\\Windows\\System32\\a", true, L"\\\\?\\D:\\Windows\\System32\\a"},
      {L"\\\\?\\C:\\Windows\\Sysnative\\a", true, L"\\\\?\\C:\\Windows\\Sysnative\\a"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SystemFolderUnredirected(c.path, L"C:\\Windows", c.redirected), c.expected) << c.path;
  }
}

}  // namespace
}  // namespace quellor::platform::win32
