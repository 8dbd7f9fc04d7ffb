#include "core/date_stamp.hpp"

#include <algorithm>
#include <cstdio>

namespace orvella {

const std::array<std::string_view, 8> dayNames = {"", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const std::array<std::string_view, 13> monthNames = {"",    "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

namespace {

// The stamp of a moment as the wall clock `zone` east of UTC shows it; its sign and digits as
// written in the stamp.
std::string stampIn(std::chrono::sys_seconds moment, std::chrono::minutes zone) {
  using namespace std::chrono;
  const sys_seconds local = moment + zone;
  const sys_days day = floor<days>(local);
  const year_month_day date{day};
  const hh_mm_ss<seconds> time{local - day};
  const hh_mm_ss<minutes> offset{zone};
  // c_encoding counts from Sunday = 0; the tables from 1. Both indexes come from the calendar,
  // so they are always in range.
  const unsigned dayIndex = weekday{day}.c_encoding() + 1;
  const unsigned monthIndex = static_cast<unsigned>(date.month());
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s, %02u %s %d %02d:%02d:%02d %c%02d%02d", dayNames[dayIndex].data(),
                static_cast<unsigned>(date.day()), monthNames[monthIndex].data(),
                static_cast<int>(date.year()), static_cast<int>(time.hours().count()),
                static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()),
                offset.is_negative() ? '-' : '+', static_cast<int>(offset.hours().count()),
                static_cast<int>(offset.minutes().count()));
  return buf;
}

}  // namespace

std::string dateStamp(std::chrono::system_clock::time_point moment) {
  return stampIn(std::chrono::floor<std::chrono::seconds>(moment), kJapanOffset);
}

std::string dateStampNow() { return dateStamp(std::chrono::system_clock::now()); }

}  // namespace orvella

namespace orvella {

namespace {

// The digits at text[at, at + n) as a number within lo..hi, or -1.
int digitsIn(std::string_view text, std::size_t at, std::size_t n, int lo, int hi) {
  int value = 0;
  for (std::size_t i = at; i < at + n; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value >= lo && value <= hi ? value : -1;
}

}  // namespace

bool isDateStamp(std::string_view t) {
  // "Www, DD Mmm YYYY hh:mm:ss +zzzz"
  constexpr std::string_view kShape = "Www, DD Mmm YYYY hh:mm:ss +zzzz";
  if (t.size() != kShape.size()) return false;
  for (std::size_t i : {3u, 4u, 7u, 11u, 16u, 19u, 22u, 25u}) {
    if (t[i] != kShape[i]) return false;
  }
  const auto dayName = std::find(dayNames.begin() + 1, dayNames.end(), t.substr(0, 3));
  const auto monthName = std::find(monthNames.begin() + 1, monthNames.end(), t.substr(8, 3));
  const int day = digitsIn(t, 5, 2, 1, 31);
  const int year = digitsIn(t, 12, 4, 0, 9999);
  if (dayName == dayNames.end() || monthName == monthNames.end() || day < 0 || year < 0) return false;
  // The date must be on the calendar, and its weekday the one named.
  const std::chrono::year_month_day date{
      std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(monthName - monthNames.begin())},
      std::chrono::day{static_cast<unsigned>(day)}};
  if (!date.ok() || std::chrono::weekday{std::chrono::sys_days{date}}.c_encoding() + 1 !=
                        unsigned(dayName - dayNames.begin())) {
    return false;
  }
  return digitsIn(t, 17, 2, 0, 23) >= 0 && digitsIn(t, 20, 2, 0, 59) >= 0 && digitsIn(t, 23, 2, 0, 60) >= 0 &&
         (t[26] == '+' || t[26] == '-') && digitsIn(t, 27, 2, 0, 23) >= 0 && digitsIn(t, 29, 2, 0, 59) >= 0;
}

}  // namespace orvella

namespace orvella {

std::optional<std::chrono::sys_seconds> stampMoment(std::string_view text) {
  using namespace std::chrono;
  if (!isDateStamp(text)) return std::nullopt;
  const std::string t(text);
  int dd = 0, yyyy = 0, hh = 0, mm = 0, ss = 0, zh = 0, zm = 0;
  char mon[4] = {}, sign = '+';
  if (std::sscanf(t.c_str(), "%*3s, %2d %3s %4d %2d:%2d:%2d %c%2d%2d", &dd, mon, &yyyy, &hh, &mm, &ss, &sign,
                  &zh, &zm) != 9) {
    return std::nullopt;
  }
  const auto month =
      std::find(monthNames.begin() + 1, monthNames.end(), std::string_view(mon)) - monthNames.begin();
  const sys_days day{year{yyyy} / std::chrono::month{static_cast<unsigned>(month)} /
                     std::chrono::day{static_cast<unsigned>(dd)}};
  const seconds zone = hours{zh} + minutes{zm};
  return day + hours{hh} + minutes{mm} + seconds{ss} - (sign == '-' ? -zone : zone);
}

}  // namespace orvella

namespace orvella {

std::optional<std::string> laterStamp(std::string_view stamp, std::chrono::seconds later) {
  using namespace std::chrono;
  const auto moment = stampMoment(stamp);
  if (!moment) return std::nullopt;
  // The zone's digits, as isDateStamp() checked them: "+hhmm" at the end.
  const std::string_view zone = stamp.substr(stamp.size() - 5);
  const minutes offset =
      hours{(zone[1] - '0') * 10 + (zone[2] - '0')} + minutes{(zone[3] - '0') * 10 + (zone[4] - '0')};
  std::string text = stampIn(*moment + later, zone[0] == '-' ? -offset : offset);
  if (!isDateStamp(text)) return std::nullopt;  // past the years a stamp can write
  return text;
}

}  // namespace orvella
