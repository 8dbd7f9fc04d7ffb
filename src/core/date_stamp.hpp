// The Date header value, "Wed, 11 Feb 2004 05:15:55 +0900" form, from one clock reading.
#pragma once

#include <array>
#include <ctime>
#include <string>
#include <string_view>

namespace orvella {

// Index 0 is unused: days run Sunday = 1 .. Saturday = 7, months 1 .. 12.
extern const std::array<std::string_view, 8> dayNames;
extern const std::array<std::string_view, 13> monthNames;

// The stamp for a broken-down local time; the zone is always +0900.
// Fields out of range are clamped into the tables rather than read past them.
std::string dateStamp(const std::tm& local);

// The stamp for the local clock, read once.
std::string dateStampNow();

}  // namespace orvella

namespace orvella {

// True for a stamp of the form dateStamp() writes, with any zone: "Wed, 11 Feb 2004 05:15:55
// +0900", the day and month names as the tables spell them, "-hhmm" as well as "+hhmm".
bool isDateStamp(std::string_view text);

}  // namespace orvella
