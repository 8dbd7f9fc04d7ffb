// Built-in defaults, limits and rules shared by the window and the command line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/message.hpp"
#include "platform/record_names.hpp"

namespace orvella {

inline constexpr std::string_view kDefaultSender = "orvella@example.jp";
inline constexpr std::int32_t kDefaultLimit = 10000;

// Header limits in code page 932 bytes.
inline constexpr int kMaxAddressBytes = 64;
inline constexpr int kMaxSubjectBytes = 100;

// The most bytes a Subject may have: with numbering on, the "-" and the pattern share the limit
// (the pattern counted by its own byte length).
constexpr std::int64_t subjectLimit(bool serialOn, std::int64_t patternBytes) {
  return serialOn ? kMaxSubjectBytes - 1 - patternBytes : kMaxSubjectBytes;
}

// The largest step between the Dates of two records in a row: a day.
inline constexpr std::int64_t kMaxDateStepSeconds = std::int64_t{24} * 60 * 60;

#ifdef _WIN32
inline constexpr std::u16string_view kPathSeparators = u"\\/";
#else
inline constexpr std::u16string_view kPathSeparators = u"/";
#endif

// The last component of a path without its extension (from its last dot); a dot in a folder
// name is not an extension.
std::u16string nameWithoutExtension(std::u16string_view path,
                                    std::u16string_view separators = kPathSeparators);

}  // namespace orvella
