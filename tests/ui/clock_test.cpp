// The Date field names the true moment, told in Japan time, whatever zone the machine is in.
#include <QDateTime>
#include <QLocale>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <ctime>
#include <string>

#include "window_test.hpp"

namespace orvella::testing {
namespace {

// Sets TZ for the life of the object.
class Zone {
 public:
  explicit Zone(const char* zone) {
    if (const char* old = std::getenv("TZ")) saved_ = old;
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~Zone() {
    if (saved_) ::setenv("TZ", saved_->c_str(), 1); else ::unsetenv("TZ");
    ::tzset();
  }
  Zone(const Zone&) = delete;
  Zone& operator=(const Zone&) = delete;

 private:
  std::optional<std::string> saved_;
};

TEST_F(WindowTest, TheSameMomentGivesTheSameStampInEveryZone) {
  using namespace std::chrono;
  window->setDateSource([] { return sys_days{year{2024} / March / 1} + minutes{5} + seconds{3}; });
  for (const char* zone : {"UTC", "Asia/Tokyo", "America/Los_Angeles"}) {
    SCOPED_TRACE(zone);
    Zone here(zone);
    window->Timer1_Timer();
    EXPECT_EQ(edit("txtDate")->text(), "Fri, 01 Mar 2024 09:05:03 +0900");
  }
}

// Without a stand-in the clock is the system's; told independently through Qt's UTC time.
TEST_F(WindowTest, TheSystemClockIsToldInJapanTime) {
  window->setDateSource(nullptr);
  const auto japan = [](const QDateTime& utc) {
    return QLocale::c().toString(utc.addSecs(9 * 3600), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss")) +
           QStringLiteral(" +0900");
  };
  for (const char* zone : {"UTC", "Asia/Tokyo", "America/New_York"}) {
    SCOPED_TRACE(zone);
    Zone here(zone);
    const QDateTime before = QDateTime::currentDateTimeUtc();
    window->Timer1_Timer();
    const QDateTime after = QDateTime::currentDateTimeUtc();
    const QString shown = edit("txtDate")->text();
    EXPECT_TRUE(shown == japan(before) || shown == japan(after)) << shown.toStdString();
  }
}

}  // namespace
}  // namespace orvella::testing
