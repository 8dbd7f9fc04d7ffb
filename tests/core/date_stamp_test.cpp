#include "core/date_stamp.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <cctype>
#include <string>

namespace orvella {
namespace {

std::tm makeTm(int year, int month, int day, int wday, int h, int m, int s) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_wday = wday;
  t.tm_hour = h;
  t.tm_min = m;
  t.tm_sec = s;
  return t;
}

struct StampCase {
  std::tm when;
  const char* expected;
};

class DateStamp : public ::testing::TestWithParam<StampCase> {};

TEST_P(DateStamp, RendersMailHeaderForm) { EXPECT_EQ(dateStamp(GetParam().when), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Examples, DateStamp,
    ::testing::Values(StampCase{makeTm(2004, 2, 11, 3, 5, 15, 55), "Wed, 11 Feb 2004 05:15:55 +0900"},
                      StampCase{makeTm(2024, 3, 1, 5, 9, 5, 3), "Fri, 01 Mar 2024 09:05:03 +0900"},
                      StampCase{makeTm(2024, 1, 1, 1, 0, 0, 0), "Mon, 01 Jan 2024 00:00:00 +0900"},
                      // Both ends of each table: Sunday, Saturday, January, December.
                      StampCase{makeTm(2023, 12, 31, 0, 23, 59, 59), "Sun, 31 Dec 2023 23:59:59 +0900"},
                      StampCase{makeTm(2024, 11, 30, 6, 12, 0, 0), "Sat, 30 Nov 2024 12:00:00 +0900"},
                      StampCase{makeTm(999, 7, 4, 2, 1, 2, 3), "Tue, 04 Jul 999 01:02:03 +0900"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(DateStampNow, KeepsZoneWhateverTheMachineIsSetTo) {
#ifdef _WIN32
  // No setenv() there; the stamp is checked in the machine's own zone.
  const std::string stamp = dateStampNow();
#else
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  ::setenv("TZ", "America/New_York", 1);
  ::tzset();
  const std::string stamp = dateStampNow();
  if (old) ::setenv("TZ", saved.c_str(), 1); else ::unsetenv("TZ");
  ::tzset();
#endif
  // "Www, DD Mmm YYYY hh:mm:ss +0900" with the fields in their tables.
  ASSERT_GE(stamp.size(), 31u) << stamp;
  EXPECT_NE(std::find(dayNames.begin() + 1, dayNames.end(), stamp.substr(0, 3)), dayNames.end()) << stamp;
  EXPECT_NE(std::find(monthNames.begin() + 1, monthNames.end(), stamp.substr(8, 3)), monthNames.end()) << stamp;
  EXPECT_EQ(stamp.substr(stamp.size() - 6), " +0900");
  EXPECT_EQ(stamp[stamp.size() - 9], ':');
  EXPECT_EQ(stamp[stamp.size() - 12], ':');
  EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(stamp[5])) && std::isdigit(static_cast<unsigned char>(stamp[6])));
}

TEST(DateStamp, OutOfRangeFieldsNeverReadPastTheTables) {
  std::tm t = makeTm(2024, 1, 1, 1, 0, 0, 0);
  t.tm_wday = 9;
  t.tm_mon = 14;
  EXPECT_EQ(dateStamp(t), "Sat, 01 Dec 2024 00:00:00 +0900");
  EXPECT_EQ(dayNames[0], "");
  EXPECT_EQ(monthNames[0], "");
}

}  // namespace
}  // namespace orvella

namespace orvella {
namespace {

TEST(IsDateStamp, TakesTheStampsShapeWithAnyZoneAndNothingElse) {
  struct Row {
    const char* text;
    bool ok;
  };
  const Row rows[] = {
      {"Wed, 11 Feb 2004 05:15:55 +0900", true},
      {"Sun, 31 Dec 1999 23:59:59 -1200", true},
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
