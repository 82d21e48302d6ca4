#pragma once
// The local date and time, as the user's clock shows it.

#include <cstdint>

namespace qor::platform {

struct LocalTime {
  int year = 0;
  int month = 0;  // 1 to 12
  int day = 0;    // 1 to 31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

LocalTime LocalNow();
// The local date and time of a moment given in milliseconds since 1 January 1970 (UTC).
LocalTime LocalTimeAt(std::int64_t unixMs);

}  // namespace qor::platform
