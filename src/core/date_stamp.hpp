// The Date header value, "Wed, 11 Feb 2004 05:15:55 +0900" form: a moment told in Japan time.
#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace orvella {

// Index 0 is unused: days run Sunday = 1 .. Saturday = 7, months 1 .. 12.
extern const std::array<std::string_view, 8> dayNames;
extern const std::array<std::string_view, 13> monthNames;

// Japan keeps one offset all year, so the stamp needs no time-zone data of the machine.
inline constexpr std::chrono::hours kJapanOffset{9};

// The stamp for a moment, told as the wall clock in Japan shows it.
[[nodiscard]] std::string dateStamp(std::chrono::system_clock::time_point moment);

// The stamp for now, from one clock reading.
[[nodiscard]] std::string dateStampNow();

}  // namespace orvella

namespace orvella {

// True for a stamp of the form dateStamp() writes, with any zone: "Wed, 11 Feb 2004 05:15:55
// +0900", the day and month names as the tables spell them, "-hhmm" as well as "+hhmm", a day
// the calendar has (no 31 Feb) under the weekday it falls on.
bool isDateStamp(std::string_view text);

}  // namespace orvella

namespace orvella {

// The moment a stamp names (its zone applied), for putting stamps in order; nothing for a text
// isDateStamp() refuses.
[[nodiscard]] std::optional<std::chrono::sys_seconds> stampMoment(std::string_view text);

}  // namespace orvella

namespace orvella {

// The stamp `later` after the one given, in the same zone; nothing for a text isDateStamp()
// refuses or a moment past the years a stamp can write.
[[nodiscard]] std::optional<std::string> laterStamp(std::string_view stamp, std::chrono::seconds later);

}  // namespace orvella
