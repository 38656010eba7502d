// Security for an object that only the current user may open.
#pragma once

#include <windows.h>

#include <vector>

namespace quellor::platform::win32 {

class CurrentUserOnly {
 public:
  CurrentUserOnly() = default;
  CurrentUserOnly(const CurrentUserOnly&) = delete;
  CurrentUserOnly& operator=(const CurrentUserOnly&) = delete;

  // Grants `access` to the user this process runs as, and to nobody else;
  // false, with the system's error code, when the user cannot be told.
  bool Make(DWORD access, int& error);
  // For the object's creation; valid while this lives.
  SECURITY_ATTRIBUTES* attributes() { return &attributes_; }

 private:
  std::vector<unsigned char> user_;  // TOKEN_USER and the SID it points into
  std::vector<unsigned char> acl_;
  SECURITY_DESCRIPTOR descriptor_{};
  SECURITY_ATTRIBUTES attributes_{};
};

}  // namespace quellor::platform::win32
