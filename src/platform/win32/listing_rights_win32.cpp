#include <windows.h>

#include <cstring>
#include <optional>
#include <vector>

#include "platform/listing_rights.h"
#include "platform/win32/file_handle_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace quellor::platform {

namespace {

// The process's token as an impersonation token, which the access check
// takes; opened once and kept for the life of the process.
HANDLE CheckToken() {
  static const HANDLE token = [] {
    HANDLE process_token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE, &process_token)) return HANDLE{};
    const win32::Handle owned(process_token);
    HANDLE duplicate = nullptr;
    if (!DuplicateToken(process_token, SecurityIdentification, &duplicate)) return HANDLE{};
    return duplicate;
  }();
  return token;
}

}  // namespace

ListingRight RightToListWith(std::string_view descriptor) {
  const HANDLE token = CheckToken();
  if (token == nullptr || descriptor.empty()) return ListingRight::Unknown;
  // The descriptor's bytes as the system wants them: aligned.
  std::vector<DWORD> aligned((descriptor.size() + sizeof(DWORD) - 1) / sizeof(DWORD));
  std::memcpy(aligned.data(), descriptor.data(), descriptor.size());
  const auto security = static_cast<PSECURITY_DESCRIPTOR>(aligned.data());
  if (!IsValidSecurityDescriptor(security) || GetSecurityDescriptorLength(security) > descriptor.size()) {
    return ListingRight::Unknown;
  }
  GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
  // What listing a folder opens it with.
  DWORD wanted = FILE_LIST_DIRECTORY | SYNCHRONIZE;
  MapGenericMask(&wanted, &mapping);
  std::vector<unsigned char> privileges(sizeof(PRIVILEGE_SET) + 8 * sizeof(LUID_AND_ATTRIBUTES));
  DWORD privileges_size = static_cast<DWORD>(privileges.size());
  DWORD granted = 0;
  BOOL allowed = FALSE;
  if (!AccessCheck(security, token, wanted, &mapping, reinterpret_cast<PPRIVILEGE_SET>(privileges.data()),
                   &privileges_size, &granted, &allowed)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return ListingRight::Unknown;
    privileges.resize(privileges_size);
    if (!AccessCheck(security, token, wanted, &mapping, reinterpret_cast<PPRIVILEGE_SET>(privileges.data()),
                     &privileges_size, &granted, &allowed)) {
      return ListingRight::Unknown;
    }
  }
  return allowed ? ListingRight::Allowed : ListingRight::Denied;
}

bool MayOpenFolderToList(const std::string& path) {
  const std::optional<std::wstring> wide = win32::WideName(path);
  if (!wide) return false;
  const win32::Handle folder(win32::OpenExisting(*wide, FILE_LIST_DIRECTORY | SYNCHRONIZE, win32::kShareAll,
                                                 FILE_FLAG_BACKUP_SEMANTICS));
  return folder.valid();
}

}  // namespace quellor::platform
