// Built-in defaults shared by the window and the command line.
#pragma once

#include <string_view>

namespace orvella {

inline constexpr std::string_view kDefaultSender = "orvella@example.jp";
inline constexpr std::string_view kDefaultMaxLength = "10000";
inline constexpr std::string_view kDefaultSerialPattern = "000";

// Header limits in code page 932 bytes.
inline constexpr int kMaxAddressBytes = 64;
inline constexpr int kMaxSubjectBytes = 100;

}  // namespace orvella
