// The process's elevation against its token's groups, under the real system.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/process_rights.h"

namespace quellor::platform {
namespace {

TEST(ProcessRights, ElevatedExactlyWhenTheAdministratorsGroupIsInForce) {
  BYTE administrators[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof administrators;
  ASSERT_TRUE(CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size));
  // A filtered token holds the group for denying only: not in force.
  BOOL in_force = FALSE;
  ASSERT_TRUE(CheckTokenMembership(nullptr, administrators, &in_force));
  EXPECT_EQ(CurrentElevation() == Elevation::Elevated, in_force != FALSE);
}

}  // namespace
}  // namespace quellor::platform
