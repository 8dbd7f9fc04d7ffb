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

template <std::size_t N>
bool nameIn(const std::array<std::string_view, N>& names, std::string_view name) {
  return std::find(names.begin() + 1, names.end(), name) != names.end();
}

}  // namespace

bool isDateStamp(std::string_view t) {
  // "Www, DD Mmm YYYY hh:mm:ss +zzzz"
  constexpr std::string_view kShape = "Www, DD Mmm YYYY hh:mm:ss +zzzz";
  if (t.size() != kShape.size()) return false;
  for (std::size_t i : {3u, 4u, 7u, 11u, 16u, 19u, 22u, 25u}) {
    if (t[i] != kShape[i]) return false;
  }
  return nameIn(dayNames, t.substr(0, 3)) && digitsIn(t, 5, 2, 1, 31) >= 0 &&
         nameIn(monthNames, t.substr(8, 3)) && digitsIn(t, 12, 4, 0, 9999) >= 0 &&
         digitsIn(t, 17, 2, 0, 23) >= 0 && digitsIn(t, 20, 2, 0, 59) >= 0 && digitsIn(t, 23, 2, 0, 60) >= 0 &&
         (t[26] == '+' || t[26] == '-') && digitsIn(t, 27, 2, 0, 23) >= 0 && digitsIn(t, 29, 2, 0, 59) >= 0;
}

}  // namespace orvella
