// What the system says of the volume behind a drive letter, under the real system.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/volume_device.h"

namespace quellor::platform {
namespace {

// The drive of the system folder: a volume of its own on any system.
std::string SystemDrive() {
  wchar_t folder[MAX_PATH] = {};
  if (GetWindowsDirectoryW(folder, MAX_PATH) == 0) return {};
  return {static_cast<char>(folder[0]), ':'};
}

TEST(VolumeDevice, TheSystemDriveIsAFixedVolumeOfItsOwn) {
  const std::string root = SystemDrive();
  ASSERT_FALSE(root.empty());
  const VolumeFacts facts = FactsOfVolume(root);
  EXPECT_TRUE(facts.local_fixed);
  EXPECT_FALSE(facts.substituted);
  EXPECT_FALSE(facts.file_system.empty());
}

TEST(VolumeDevice, ALetterGivenToAFolderIsSubstituted) {
  const DWORD used = GetLogicalDrives();
  char free_letter = 0;
  for (char letter = 'Z'; letter >= 'D' && free_letter == 0; --letter) {
    if ((used & (1u << (letter - 'A'))) == 0) free_letter = letter;
  }
  ASSERT_NE(free_letter, 0);
  const std::wstring device = {static_cast<wchar_t>(free_letter), L':'};
  wchar_t folder[MAX_PATH] = {};
  ASSERT_NE(GetWindowsDirectoryW(folder, MAX_PATH), 0u);
  ASSERT_TRUE(DefineDosDeviceW(0, device.c_str(), folder));
  const VolumeFacts facts = FactsOfVolume(std::string{free_letter, ':'});
  DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, device.c_str(), folder);
  EXPECT_TRUE(facts.substituted);
}

}  // namespace
}  // namespace quellor::platform
