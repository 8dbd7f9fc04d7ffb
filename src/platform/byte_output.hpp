// The standard output as a stream of bytes, for text already in its final encoding.
#pragma once

#include <optional>
#include <string_view>

#include "platform/error.hpp"

namespace orvella::platform {

// Writes the bytes as they are, with no conversion on any system; nothing once all are written.
[[nodiscard]] std::optional<SystemError> writeOutputBytes(std::string_view bytes);

}  // namespace orvella::platform
