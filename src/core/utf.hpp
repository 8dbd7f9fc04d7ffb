// UTF-8 <-> UTF-16, for command-line values and messages.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvella {

// Empty optional when the input is not valid UTF-8 (overlongs, surrogates, bad sequences).
std::optional<std::u16string> utf8ToUtf16(std::string_view text);

// Lone surrogates become U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

}  // namespace orvella
