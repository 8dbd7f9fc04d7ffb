// The Date field names the true moment, told in Japan time, whatever zone the machine is in.
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "window_test.hpp"

namespace orvella::testing {
namespace {

using C = Control;

// Sets TZ for the life of the object.
class Zone {
 public:
  explicit Zone(const char* zone) {
    if (const char* old = std::getenv("TZ")) saved_ = old;
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~Zone() {
    if (saved_)
      ::setenv("TZ", saved_->c_str(), 1);
    else
      ::unsetenv("TZ");
    ::tzset();
  }
  Zone(const Zone&) = delete;
  Zone& operator=(const Zone&) = delete;

 private:
  std::optional<std::string> saved_;
};

TEST_F(WindowTest, TheSameMomentGivesTheSameStampInEveryZone) {
  using namespace std::chrono;
  form.setDateSource([] { return sys_days{year{2024} / March / 1} + minutes{5} + seconds{3}; });
  for (const char* zone : {"UTC", "Asia/Tokyo", "America/Los_Angeles"}) {
    SCOPED_TRACE(zone);
    Zone here(zone);
    form.Timer1_Timer();
    EXPECT_EQ(text(C::txtDate), u"Fri, 01 Mar 2024 09:05:03 +0900");
  }
}

// Without a stand-in the clock is the system's; told independently through the C library's UTC.
TEST_F(WindowTest, TheSystemClockIsToldInJapanTime) {
  form.setDateSource(nullptr);
  const auto japan = [](std::time_t utc) {
    utc += 9 * 3600;
    std::tm parts{};
    ::gmtime_r(&utc, &parts);
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "%a, %d %b %Y %H:%M:%S +0900", &parts);
    return u16(std::string_view(stamp));
  };
  for (const char* zone : {"UTC", "Asia/Tokyo", "America/New_York"}) {
    SCOPED_TRACE(zone);
    Zone here(zone);
    const std::time_t before = std::time(nullptr);
    form.Timer1_Timer();
    // time() reads a coarser clock than the form's, which may already be in the next second.
    const std::time_t after = std::time(nullptr) + 1;
    const std::u16string shown = text(C::txtDate);
    EXPECT_TRUE(shown == japan(before) || shown == japan(after - 1) || shown == japan(after)) << u8(shown);
  }
}

}  // namespace
}  // namespace orvella::testing
