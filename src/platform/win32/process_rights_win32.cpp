#include <windows.h>

#include "platform/process_rights.h"
#include "platform/win32/file_handle_win32.h"

namespace quellor::platform {

namespace {

template <typename Value>
bool TokenValue(HANDLE token, TOKEN_INFORMATION_CLASS kind, Value& value) {
  DWORD size = 0;
  return GetTokenInformation(token, kind, &value, sizeof value, &size) && size == sizeof value;
}

}  // namespace

Elevation CurrentElevation() {
  HANDLE opened = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return Elevation::Standard;
  const win32::Handle token(opened);
  TOKEN_ELEVATION_TYPE type{};
  if (!TokenValue(token.get(), TokenElevationType, type)) return Elevation::Standard;
  if (type == TokenElevationTypeFull) return Elevation::Elevated;
  if (type == TokenElevationTypeLimited) return Elevation::CanElevate;
  // A token that was never split: the built-in administrator's, any token
  // where prompts are off, and a standard user's.
  TOKEN_ELEVATION elevation{};
  if (!TokenValue(token.get(), TokenElevation, elevation)) return Elevation::Standard;
  return elevation.TokenIsElevated ? Elevation::Elevated : Elevation::Standard;
}

std::uint32_t CurrentProcessId() { return GetCurrentProcessId(); }

}  // namespace quellor::platform
