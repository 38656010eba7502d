// The access check of the process's own token against folders' descriptors,
// by the real system: what decides which folders of a volume's table a
// search may show.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "platform/listing_rights.h"

namespace quellor::platform {
namespace {

std::string SelfRelative(const wchar_t* sddl) {
  PSECURITY_DESCRIPTOR made = nullptr;
  ULONG size = 0;
  EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &made, &size)) << sddl;
  if (made == nullptr) return {};
  std::string bytes(static_cast<const char*>(made), size);
  LocalFree(made);
  return bytes;
}

bool InForce(WELL_KNOWN_SID_TYPE kind) {
  BYTE sid[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof sid;
  BOOL in_force = FALSE;
  return CreateWellKnownSid(kind, nullptr, sid, &size) && CheckTokenMembership(nullptr, sid, &in_force) && in_force;
}

TEST(ListingRights, TheProcessTokenIsCheckedForListingAFolder) {
  const ListingRight administrators = InForce(WinBuiltinAdministratorsSid) ? ListingRight::Allowed : ListingRight::Denied;
  ASSERT_FALSE(InForce(WinLocalSystemSid));
  struct Case {
    const wchar_t* sddl;
    ListingRight right;
  };
  const Case cases[] = {
      {L"O:BAG:BAD:(A;;FA;;;WD)", ListingRight::Allowed},              // everyone, everything
      {L"O:BAG:BAD:(A;;FR;;;WD)", ListingRight::Allowed},              // everyone may read
      {L"O:BAG:BA", ListingRight::Allowed},                            // no access list: no check
      {L"O:BAG:BAD:", ListingRight::Denied},                           // an empty list grants nothing
      {L"O:BAG:BAD:(A;;FA;;;SY)", ListingRight::Denied},               // the system's own folders
      {L"O:BAG:BAD:(D;;FA;;;WD)(A;;FA;;;WD)", ListingRight::Denied},   // a denial first wins
      {L"O:BAG:BAD:(A;;FW;;;WD)", ListingRight::Denied},               // write without read
      {L"O:BAG:BAD:(A;;FA;;;BA)", administrators},                     // administrators, as the token holds them
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(RightToListWith(SelfRelative(cases[i].sddl)), cases[i].right) << "case " << i;
  }
  EXPECT_EQ(RightToListWith(std::string(20, '\0')), ListingRight::Unknown);
  EXPECT_EQ(RightToListWith({}), ListingRight::Unknown);
}

TEST(ListingRights, AFolderWithoutADescriptorIsTriedByOpeningIt) {
  wchar_t temp[MAX_PATH];
  ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
  char narrow[4 * MAX_PATH];
  ASSERT_NE(WideCharToMultiByte(CP_UTF8, 0, temp, -1, narrow, sizeof narrow, nullptr, nullptr), 0);
  EXPECT_TRUE(MayOpenFolderToList(narrow));
  EXPECT_FALSE(MayOpenFolderToList(std::string(narrow) + "quellor-no-such-folder-8d1f"));
}

}  // namespace
}  // namespace quellor::platform
