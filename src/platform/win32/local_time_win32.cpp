#include <windows.h>

#include <cstdio>

#include "platform/local_time.h"

namespace quellor::platform {

std::string LocalTimeText(std::int64_t modified) {
  if (modified < 0) return {};
  const auto units = static_cast<std::uint64_t>(modified);
  FILETIME file_time{static_cast<DWORD>(units & 0xFFFFFFFFu), static_cast<DWORD>(units >> 32)};
  SYSTEMTIME utc{};
  SYSTEMTIME local{};
  // The zone's rules for that date (summer time then, not now).
  if (!FileTimeToSystemTime(&file_time, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) ||
      local.wYear > 9999) {
    return {};
  }
  char text[64];
  const int length = std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", int{local.wYear},
                                   int{local.wMonth}, int{local.wDay}, int{local.wHour}, int{local.wMinute},
                                   int{local.wSecond});
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof text) return {};
  return std::string(text, static_cast<std::size_t>(length));
}

std::string LocalDateToday() {
  SYSTEMTIME today{};
  GetLocalTime(&today);
  char text[16];
  const int length = std::snprintf(text, sizeof text, "%04d-%02d-%02d", int{today.wYear}, int{today.wMonth},
                                   int{today.wDay});
  return std::string(text, static_cast<std::size_t>(length > 0 ? length : 0));
}

}  // namespace quellor::platform
