#include "core/date_stamp.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace orvella {
namespace {

using namespace std::chrono;

// A moment given in UTC.
system_clock::time_point utc(int y, unsigned mo, unsigned d, int h, int mi, int s, int ms = 0) {
  return sys_days{year{y} / month{mo} / day{d}} + hours{h} + minutes{mi} + seconds{s} + milliseconds{ms};
}

struct StampCase {
  system_clock::time_point moment;
  const char* expected;
};

class DateStamp : public ::testing::TestWithParam<StampCase> {};

TEST_P(DateStamp, TellsTheMomentAsJapanShowsIt) {
  EXPECT_EQ(dateStamp(GetParam().moment), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Moments, DateStamp,
    ::testing::Values(StampCase{utc(2024, 3, 1, 0, 5, 3), "Fri, 01 Mar 2024 09:05:03 +0900"},
                      // The evening in UTC is already the next day in Japan.
                      StampCase{utc(2004, 2, 10, 20, 15, 55), "Wed, 11 Feb 2004 05:15:55 +0900"},
                      StampCase{utc(2023, 12, 31, 15, 0, 0), "Mon, 01 Jan 2024 00:00:00 +0900"},
                      StampCase{utc(2023, 12, 31, 14, 59, 59), "Sun, 31 Dec 2023 23:59:59 +0900"},
                      StampCase{utc(2024, 2, 28, 15, 0, 0), "Thu, 29 Feb 2024 00:00:00 +0900"},
                      StampCase{utc(2024, 11, 30, 3, 0, 0), "Sat, 30 Nov 2024 12:00:00 +0900"},
                      // Part of a second never rounds up.
                      StampCase{utc(2024, 3, 1, 0, 5, 3, 999), "Fri, 01 Mar 2024 09:05:03 +0900"},
                      StampCase{utc(1969, 12, 31, 15, 0, 0), "Thu, 01 Jan 1970 00:00:00 +0900"},
                      StampCase{utc(2099, 12, 31, 15, 0, 0), "Fri, 01 Jan 2100 00:00:00 +0900"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

// A stamp moved on in its own zone: day, month, year and leap day roll over, the weekday follows.
TEST(LaterStamp, MovesTheMomentInTheStampsOwnZone) {
  const struct {
    const char* stamp;
    std::int64_t later;
    std::optional<std::string> expected;
  } cases[] = {
      {"Wed, 11 Feb 2004 05:15:55 +0900", 5, "Wed, 11 Feb 2004 05:16:00 +0900"},
      {"Sun, 31 Dec 2023 23:59:59 +0900", 1, "Mon, 01 Jan 2024 00:00:00 +0900"},
      {"Wed, 28 Feb 2024 23:00:00 +0900", 3600, "Thu, 29 Feb 2024 00:00:00 +0900"},
      {"Tue, 28 Feb 2023 23:00:00 +0900", 3600, "Wed, 01 Mar 2023 00:00:00 +0900"},
      {"Fri, 30 Jun 2023 23:59:30 -0530", 86400 * 2, "Sun, 02 Jul 2023 23:59:30 -0530"},
      {"Fri, 31 Dec 9999 23:59:59 +0900", 1, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(laterStamp(c.stamp, seconds{c.later}), c.expected) << c.stamp << " + " << c.later;
  }
}

#ifndef _WIN32  // setenv and tzset are POSIX; the Windows C library has neither
// The machine's zone must not move the stamp: the same moment reads the same everywhere.
TEST(DateStamp, IsTheSameMomentWhateverZoneTheMachineIsSetTo) {
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  const auto moment = utc(2024, 3, 1, 0, 5, 3);
  for (const char* zone : {"UTC", "Asia/Tokyo", "America/New_York", "Pacific/Chatham"}) {
    SCOPED_TRACE(zone);
    ::setenv("TZ", zone, 1);
    ::tzset();
    EXPECT_EQ(dateStamp(moment), "Fri, 01 Mar 2024 09:05:03 +0900");
    const auto before = system_clock::now();
    const std::string now = dateStampNow();
    const auto after = system_clock::now();
    EXPECT_TRUE(now == dateStamp(before) || now == dateStamp(after)) << now;
  }
  if (old)
    ::setenv("TZ", saved.c_str(), 1);
  else
    ::unsetenv("TZ");
  ::tzset();
}
#endif

TEST(DateStamp, NameTablesKeepIndexZeroEmpty) {
  EXPECT_EQ(dayNames[0], "");
  EXPECT_EQ(monthNames[0], "");
}

}  // namespace
}  // namespace orvella

namespace orvella {
namespace {

TEST(IsDateStamp, TakesTheStampsShapeWithAnyZoneForARealDayAndNothingElse) {
  struct Row {
    const char* text;
    bool ok;
  };
  const Row rows[] = {
      {"Wed, 11 Feb 2004 05:15:55 +0900", true},
      {"Fri, 31 Dec 1999 23:59:59 -1200", true},
      // On the calendar, under its own weekday
      {"Sun, 29 Feb 2004 05:15:55 +0900", true},
      {"Tue, 29 Feb 2000 05:15:55 +0900", true},
      {"Mon, 29 Feb 2100 05:15:55 +0900", false},
      {"Wed, 31 Feb 2004 05:15:55 +0900", false},
      {"Thu, 31 Apr 2004 05:15:55 +0900", false},
      {"Thu, 11 Feb 2004 05:15:55 +0900", false},
      {"Sun, 31 Dec 1999 23:59:59 -1200", false},
      {"Mon, 01 Jan 2024 00:00:00 +0000", true},
      {"Wed, 11 Feb 2004 05:15:55", false},
      {"Wed, 11 Feb 2004 05:15:55 0900", false},
      {"Wed, 11 Feb 2004 05:15:55 +09000", false},
      {"Wed,11 Feb 2004 05:15:55 +0900 ", false},
      {"wed, 11 Feb 2004 05:15:55 +0900", false},
      {"Wed, 11 FEB 2004 05:15:55 +0900", false},
      {"Wed, 32 Feb 2004 05:15:55 +0900", false},
      {"Wed, 11 Feb 2004 24:00:00 +0900", false},
      {"Wed, 11 Feb 2004 05:60:55 +0900", false},
      {"Wed, 11 Feb 2004 05:15:55 +0960", false},
      {"Wed, 1 Feb 2004 05:15:55 +09000", false},
      {"", false},
  };
  for (const Row& row : rows) EXPECT_EQ(isDateStamp(row.text), row.ok) << row.text;
}

}  // namespace
}  // namespace orvella
