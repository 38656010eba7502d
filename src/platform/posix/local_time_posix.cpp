#include <ctime>

#include "platform/local_time.h"

namespace quellor::platform {

namespace {
constexpr std::int64_t kNanosecondsPerSecond = 1000000000;
}  // namespace

std::string LocalTimeText(std::int64_t modified) {
  // Rows of one folder often share a second: its text is kept.
  thread_local std::time_t last_second = 0;
  thread_local std::string last_text;
  std::int64_t seconds = modified / kNanosecondsPerSecond;
  if (modified % kNanosecondsPerSecond < 0) --seconds;  // before 1970: the second it falls in
  const auto second = static_cast<std::time_t>(seconds);
  if (second == last_second && !last_text.empty()) return last_text;
  std::tm local{};
  if (::localtime_r(&second, &local) == nullptr) return {};
  const int year = local.tm_year + 1900;
  if (year < 0 || year > 9999) return {};
  // By hand: a million rows' times through snprintf take longer than their paths.
  char text[] = "YYYY-MM-DD HH:MM:SS";
  const auto put = [&text](std::size_t at, int value, std::size_t digits) {
    for (std::size_t d = digits; d-- > 0; value /= 10) text[at + d] = static_cast<char>('0' + value % 10);
  };
  put(0, year, 4);
  put(5, local.tm_mon + 1, 2);
  put(8, local.tm_mday, 2);
  put(11, local.tm_hour, 2);
  put(14, local.tm_min, 2);
  put(17, local.tm_sec, 2);
  last_second = second;
  last_text.assign(text, sizeof text - 1);
  return last_text;
}

std::string LocalDateToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  char text[16];
  if (::localtime_r(&now, &local) == nullptr || std::strftime(text, sizeof text, "%Y-%m-%d", &local) == 0) return {};
  return text;
}

}  // namespace quellor::platform
