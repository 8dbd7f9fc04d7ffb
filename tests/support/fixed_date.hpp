// The Date the window tests stamp their records with, and the moment it names.
#pragma once

#include <chrono>

namespace orvella::testing {

inline constexpr char kFixedDate[] = "Wed, 11 Feb 2004 05:15:55 +0900";

inline std::chrono::system_clock::time_point fixedMoment() {
  using namespace std::chrono;
  return sys_days{year{2004} / February / 10} + hours{20} + minutes{15} + seconds{55};
}

}  // namespace orvella::testing
