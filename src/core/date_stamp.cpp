#include "core/date_stamp.hpp"

#include <algorithm>
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
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return dateStamp(local);
}

}  // namespace orvella
