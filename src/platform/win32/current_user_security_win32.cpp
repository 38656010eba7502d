#include "platform/win32/current_user_security_win32.h"

#include "platform/win32/file_handle_win32.h"

namespace quellor::platform::win32 {

namespace {

bool Failed(int& error) {
  error = static_cast<int>(GetLastError());
  return false;
}

}  // namespace

bool CurrentUserOnly::Make(DWORD access, int& error) {
  HANDLE opened = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return Failed(error);
  const Handle token(opened);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return Failed(error);
  user_.assign(size, 0);
  if (!GetTokenInformation(token.get(), TokenUser, user_.data(), size, &size)) return Failed(error);
  const PSID sid = reinterpret_cast<TOKEN_USER*>(user_.data())->User.Sid;

  acl_.assign(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + GetLengthSid(sid), 0);
  auto* acl = reinterpret_cast<ACL*>(acl_.data());
  if (!InitializeAcl(acl, static_cast<DWORD>(acl_.size()), ACL_REVISION) ||
      !AddAccessAllowedAce(acl, ACL_REVISION, access, sid) ||
      !InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) ||
      !SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE)) {
    return Failed(error);
  }
  attributes_ = {sizeof attributes_, &descriptor_, FALSE};
  return true;
}

}  // namespace quellor::platform::win32
