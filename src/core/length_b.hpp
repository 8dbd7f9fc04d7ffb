// The byte measure used for every size and limit: bytes as written in code page 932.
#pragma once

#include <cstdint>
#include <string_view>

namespace orvella {

// Throws std::overflow_error when the count would pass INT32_MAX.
std::int32_t LengthB(std::u16string_view str);

// Measure of a body line taken as raw bytes: its length plus one per NUL byte, which equals
// LengthB of the decoded line for every valid line.
std::int64_t rawLineLength(std::string_view bytes);

}  // namespace orvella
