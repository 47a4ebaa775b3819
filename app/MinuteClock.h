// The minute of the hour the entry direction is chosen from, read from the
// local time through the C runtime. Tests replace the source of the time.
#pragma once

#include <ctime>
#include <functional>

namespace bellcut {

using TimeSource = std::function<std::time_t()>;

// The source CurrentMinute asks for the time; an empty function restores the
// real clock (time()). Returns the previous source.
TimeSource SetTimeSource(TimeSource Source);

// tzset, the time, localtime, strftime "%M" into a 3-byte buffer, StrToInt:
// the local minute of the hour, 0 to 59.
[[nodiscard]] int CurrentMinute();

}  // namespace bellcut
