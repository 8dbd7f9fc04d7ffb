// A dry run: what converting an input would give, read once and nothing written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// Several texts as one run would convert them (settings.input is not read): each from a record
// of its own, with its own Subject where it has one and the serial running on. One result each.
std::vector<CheckResult> checkTexts(const ConvertSettings& settings, const std::vector<ConvertInput>& inputs,
                                    const std::u16string& date, int firstSerial);

}  // namespace orvella
