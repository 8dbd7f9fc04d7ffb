#include "core/date_stamp.hpp"

#include <cstdio>

namespace orvella {

const std::array<std::string_view, 8> dayNames = {"", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const std::array<std::string_view, 13> monthNames = {"",    "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string dateStamp(std::chrono::system_clock::time_point moment) {
  using namespace std::chrono;
  const sys_seconds japan = floor<seconds>(moment) + kJapanOffset;
  const sys_days day = floor<days>(japan);
  const year_month_day date{day};
  const hh_mm_ss<seconds> time{japan - day};
  // c_encoding counts from Sunday = 0; the tables from 1. Both indexes come from the calendar,
  // so they are always in range.
  const unsigned dayIndex = weekday{day}.c_encoding() + 1;
  const unsigned monthIndex = static_cast<unsigned>(date.month());
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s, %02u %s %d %02d:%02d:%02d +0900", dayNames[dayIndex].data(),
                static_cast<unsigned>(date.day()), monthNames[monthIndex].data(),
                static_cast<int>(date.year()), static_cast<int>(time.hours().count()),
                static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()));
  return buf;
}

std::string dateStampNow() { return dateStamp(std::chrono::system_clock::now()); }

}  // namespace orvella
