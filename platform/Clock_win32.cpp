#include "platform/Clock.h"

#include <windows.h>

namespace qor::platform {

LocalTime LocalNow() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

LocalTime LocalTimeAt(std::int64_t unixMs) {
  // FILETIME counts 100 ns steps from 1601.
  constexpr std::int64_t kFrom1601To1970Ms = 11'644'473'600'000;
  const auto ticks = static_cast<std::uint64_t>((unixMs + kFrom1601To1970Ms) * 10'000);
  FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME universal{};
  SYSTEMTIME local{};
  if (!::FileTimeToSystemTime(&utc, &universal) ||
      !::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
    return {};
  }
  return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

}  // namespace qor::platform
