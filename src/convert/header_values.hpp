// Header values never carry a control character (TAB aside): written into the header as they
// stand, a line break would end the header line, or the record, in the middle of a value, and
// DEL or a C1 control (NEL among them) is read as one by some readers.
#pragma once

#include <string>
#include <string_view>

namespace orvella {

[[nodiscard]] bool isHeaderSafe(std::u16string_view value);
[[nodiscard]] bool isHeaderSafe(std::string_view utf8);

// The value with each such character replaced by a space: a Subject taken from a file name.
[[nodiscard]] std::u16string headerSafe(std::u16string_view value);

}  // namespace orvella
