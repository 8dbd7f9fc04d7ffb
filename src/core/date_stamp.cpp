#include "core/date_stamp.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace orvella {

const std::array<std::string_view, 8> dayNames = {"", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const std::array<std::string_view, 13> monthNames = {"",    "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string dateStamp(const std::tm& local) {
  // tm counts weekdays from Sunday = 0 and months from 0; the tables from 1.
  const int day = std::clamp(local.tm_wday, 0, 6) + 1;
  const int month = std::clamp(local.tm_mon, 0, 11) + 1;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s, %02d %s %d %02d:%02d:%02d +0900", dayNames[day].data(),
                local.tm_mday, monthNames[month].data(), local.tm_year + 1900, local.tm_hour,
                local.tm_min, local.tm_sec);
  return buf;
}

std::string dateStampNow() {
  // The stamp always says +0900, so the clock is read in that zone, whatever the machine's.
  using namespace std::chrono;
  const auto now = floor<seconds>(system_clock::now()) + hours(9);
  const auto day = floor<days>(now);
  const year_month_day date{day};
  const hh_mm_ss time{now - day};
  std::tm t{};
  t.tm_year = static_cast<int>(date.year()) - 1900;
  t.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
  t.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
  t.tm_wday = static_cast<int>(weekday(day).c_encoding());
  t.tm_hour = static_cast<int>(time.hours().count());
  t.tm_min = static_cast<int>(time.minutes().count());
  t.tm_sec = static_cast<int>(time.seconds().count());
  return dateStamp(t);
}

}  // namespace orvella
