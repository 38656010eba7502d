#include <windows.h>

#include <cstdio>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "platform/local_time.h"

namespace quellor::platform {

namespace {

constexpr std::int64_t kUnitsPerDay = 24LL * 60 * 60 * 10000000;
// A day whose local offset is not the same from its start to its end.
constexpr std::int64_t kOffsetChanges = INT64_MIN;

FILETIME AsFileTime(std::int64_t units) {
  const auto bits = static_cast<std::uint64_t>(units);
  return FILETIME{static_cast<DWORD>(bits & 0xFFFFFFFFu), static_cast<DWORD>(bits >> 32)};
}

// Local time minus UTC at `utc`, by the zone's rules for that date (summer
// time then, not now); nullopt when the system cannot convert it.
std::optional<std::int64_t> LocalOffsetAt(std::int64_t utc) {
  const FILETIME utc_time = AsFileTime(utc);
  SYSTEMTIME utc_fields{};
  SYSTEMTIME local_fields{};
  FILETIME local_time{};
  if (!FileTimeToSystemTime(&utc_time, &utc_fields) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &utc_fields, &local_fields) ||
      !SystemTimeToFileTime(&local_fields, &local_time)) {
    return std::nullopt;
  }
  const std::int64_t local = static_cast<std::int64_t>(
      (static_cast<std::uint64_t>(local_time.dwHighDateTime) << 32) | local_time.dwLowDateTime);
  // SYSTEMTIME keeps milliseconds: the sub-millisecond rest is not part of the offset.
  return local - (utc - utc % 10000);
}

// The zone's offset throughout the UTC day holding `utc`, where it is the same
// from the day's start to its end; kOffsetChanges where it changes that day
// (a switch to or from summer time) or cannot be told. The system's
// conversion reads the zone's rules at every call, which a million rows
// cannot afford; a day's answer is kept for later rows. Kept for the process,
// not per thread: a thread_local object with a destructor crashes a thread's
// end in this static build (mingw's emulated TLS).
std::int64_t DayOffset(std::int64_t utc) {
  static std::mutex lock;
  static std::unordered_map<std::int64_t, std::int64_t> days;
  const std::int64_t day = utc / kUnitsPerDay;
  const std::lock_guard<std::mutex> hold(lock);
  const auto known = days.find(day);
  if (known != days.end()) return known->second;
  const std::optional<std::int64_t> start = LocalOffsetAt(day * kUnitsPerDay);
  const std::optional<std::int64_t> end = LocalOffsetAt((day + 1) * kUnitsPerDay - 1);
  const std::int64_t offset = start && end && *start == *end ? *start : kOffsetChanges;
  days.emplace(day, offset);
  return offset;
}

}  // namespace

std::string LocalTimeText(std::int64_t modified) {
  if (modified < 0) return {};
  std::int64_t offset = DayOffset(modified);
  if (offset == kOffsetChanges) {
    const std::optional<std::int64_t> exact = LocalOffsetAt(modified);
    if (!exact) return {};
    offset = *exact;
  }
  const std::int64_t local_units = modified + offset;
  if (local_units < 0) return {};
  const FILETIME local_time = AsFileTime(local_units);
  SYSTEMTIME local{};
  if (!FileTimeToSystemTime(&local_time, &local) || local.wYear > 9999) return {};
  // By hand: a million rows' times through snprintf take longer than their paths.
  char text[] = "YYYY-MM-DD HH:MM:SS";
  const auto put = [&text](std::size_t at, int value, std::size_t digits) {
    for (std::size_t d = digits; d-- > 0; value /= 10) text[at + d] = static_cast<char>('0' + value % 10);
  };
  put(0, local.wYear, 4);
  put(5, local.wMonth, 2);
  put(8, local.wDay, 2);
  put(11, local.wHour, 2);
  put(14, local.wMinute, 2);
  put(17, local.wSecond, 2);
  return std::string(text, sizeof text - 1);
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
