// Modification times as people read them.
#pragma once

#include <cstdint>
#include <string>

namespace quellor::platform {

// `modified` (ItemState::modified, in the system's own units) as the local
// time "YYYY-MM-DD HH:MM:SS", by the rules of the time zone at that moment;
// empty when the system cannot convert it or its year has more than four
// digits.
std::string LocalTimeText(std::int64_t modified);

// Today's date in local time, "YYYY-MM-DD".
std::string LocalDateToday();

}  // namespace quellor::platform
