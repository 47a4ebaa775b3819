// The border of a shaped control: none or single. Its ordinal is the border
// width in pixels, which the face builder and the auto size use directly.
#pragma once

#include <cstdint>

namespace bellcut {

enum class TBorderStyle : std::uint8_t { bsNone, bsSingle };

}  // namespace bellcut
