// A dry run: what converting an input would give, read once and nothing written.
#pragma once

#include <cstdint>
#include <string>

#include "convert/converter.hpp"
#include "convert/input_report.hpp"
#include "platform/error.hpp"

namespace orvella {

struct CheckResult {
  bool ok = true;
  platform::SystemError error;  // why the input could not be read
  InputReport input;
  std::uint64_t records = 0;        // files a conversion would write
  std::uint64_t largestRecord = 0;  // bytes of the largest of them
};

// The limit in settings must parse (see parseLimit); `date` stands for every record's Date and
// `firstSerial` for the Subject serial of the first one.
CheckResult checkText(const ConvertSettings& settings, const std::u16string& date, int firstSerial);

}  // namespace orvella
