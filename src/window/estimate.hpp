// How many records a file of a given size makes at least: its size over the limit, rounded up.
#pragma once

#include <cstdint>
#include <limits>

namespace orvella::window {

// Past this the estimate no longer fits the count the window was designed around.
inline constexpr std::int64_t kMaxEstimate = std::numeric_limits<std::int16_t>::max();

// limit > 0.
constexpr std::int64_t estimateFiles(std::int64_t bytes, std::int32_t limit) {
  return bytes / limit + (bytes % limit > 0 ? 1 : 0);
}

}  // namespace orvella::window
