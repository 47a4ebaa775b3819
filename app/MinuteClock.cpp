#include "app/MinuteClock.h"

#include <utility>

#include "platform/base/SysUtils.h"

namespace bellcut {
namespace {

TimeSource& Source() {
  static TimeSource source;
  return source;
}

}  // namespace

TimeSource SetTimeSource(TimeSource Source_) { return std::exchange(Source(), std::move(Source_)); }

int CurrentMinute() {
  tzset();
  const std::time_t now = Source() ? Source()() : std::time(nullptr);
  std::tm local{};
  char minute[3] = {'0', '0', '\0'};
  // localtime_r: the reentrant form, so nothing else's static buffer is
  // overwritten. A time it cannot convert leaves the minute at "00".
  if (localtime_r(&now, &local) != nullptr) (void)std::strftime(minute, sizeof minute, "%M", &local);
  return StrToInt(minute);
}

}  // namespace bellcut
