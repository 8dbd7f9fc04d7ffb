// How many records a file of a given size makes at least: its size over the limit, rounded up.
#pragma once

#include <cstdint>
#include <limits>
#include <string_view>

#include "convert/aozora.hpp"
#include "convert/encoding.hpp"
#include "convert/line_reader.hpp"

namespace orvella::window {

// Past this the estimate no longer fits the count the window was designed around.
inline constexpr std::int64_t kMaxEstimate = std::numeric_limits<std::int16_t>::max();

// limit > 0.
constexpr std::int64_t estimateFiles(std::int64_t bytes, std::int32_t limit) {
  return bytes / limit + (bytes % limit > 0 ? 1 : 0);
}

// The size of a text of fileBytes bytes as it will be written, in code page 932: a code page 932
// file's own; a UTF-8 or UTF-16 file's scaled by what its head (the bytes detection read, `head`)
// becomes in code page 932.
[[nodiscard]] std::int64_t sizeAsWritten(std::int64_t fileBytes, const Detection& detection,
                                         std::string_view head);

// What the notation choice makes of a text, judged on the lines the reader hands out next (its
// first lines, at most kDetectionBytes): whether they read as Aozora Bunko notation, and the share of their
// bytes that goes on.
struct NotationLook {
  bool aozora = false;
  double kept = 1.0;
};
[[nodiscard]] NotationLook lookAtNotation(LineReader& reader, AozoraMode mode);

}  // namespace orvella::window
