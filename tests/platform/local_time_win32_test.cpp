// Modification times as local time: what the export writes for every row
// against the system's own conversion, one call per time, over two years of
// a zone with summer time (CTest runs this once more with TZ=Europe/Berlin).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/file_system.h"
#include "platform/local_time.h"

namespace quellor::platform {
namespace {

std::string SystemsText(std::int64_t modified) {
  const auto bits = static_cast<std::uint64_t>(modified);
  const FILETIME utc_time{static_cast<DWORD>(bits & 0xFFFFFFFFu), static_cast<DWORD>(bits >> 32)};
  SYSTEMTIME utc{};
  SYSTEMTIME local{};
  if (!FileTimeToSystemTime(&utc_time, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return {};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", local.wYear, local.wMonth, local.wDay, local.wHour,
                local.wMinute, local.wSecond);
  return text;
}

TEST(LocalTime, EveryTimeAsTheSystemConvertsIt) {
  const std::int64_t start = kModifiedAt1970 + 1672531200LL * kModifiedUnitsPerSecond;  // 2023-01-01 00:00 UTC
  // Every 17 minutes and 13 seconds, in no order a cache of days would favour.
  const std::int64_t step = (17 * 60 + 13) * kModifiedUnitsPerSecond + 1234567;
  for (int i = 0; i < 2 * 365 * 24 * 60 / 17; ++i) {
    const std::int64_t modified = start + ((i * 7919) % 61051) * step;
    ASSERT_EQ(LocalTimeText(modified), SystemsText(modified)) << modified;
  }
  EXPECT_EQ(LocalTimeText(-1), "");
  if (std::getenv("QUELLOR_EXPECT_SUMMER_TIME") != nullptr) {
    // 2023-01-15 and 2023-07-15 at noon UTC: the zone's two offsets differ, so summer time was crossed above.
    const std::string winter = SystemsText(kModifiedAt1970 + 1673784000LL * kModifiedUnitsPerSecond);
    const std::string summer = SystemsText(kModifiedAt1970 + 1689422400LL * kModifiedUnitsPerSecond);
    EXPECT_NE(winter.substr(11, 2), summer.substr(11, 2)) << winter << " " << summer;
  }
}

}  // namespace
}  // namespace quellor::platform
