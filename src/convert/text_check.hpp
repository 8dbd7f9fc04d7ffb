// A dry run: what converting an input would give, read once and nothing written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "convert/converter.hpp"
#include "convert/failure.hpp"
#include "convert/input_report.hpp"

namespace orvella {

// Where a conversion stops with text left: the file numbers or the Subject serials run out.
struct RunsOut {
  ConvertStatus status = ConvertStatus::NumbersOut;  // NumbersOut or SerialsOut
  int lastNumber = 0;                                // of the last record written
  std::uint64_t lastLine = 0;                        // the last input line in it
};

// Input lines that make a record larger than the limit by themselves: the first few, and how many.
struct LongLines {
  static constexpr std::size_t kSamples = 10;
  std::uint64_t count = 0;
  std::vector<std::uint64_t> samples;
};

struct CheckResult {
  std::optional<Failure> failure;  // why the input could not be read
  InputReport input;
  std::uint64_t records = 0;        // files the whole text makes
  std::uint64_t largestRecord = 0;  // bytes of the largest of them
  std::int64_t largestCounted = 0;  // the largest count measured against the limit
  std::optional<RunsOut> runsOut;   // none when every record gets a number and a serial
  LongLines longLines;

  bool hasWarnings() const { return input.hasWarnings() || runsOut.has_value() || longLines.count > 0; }
};

// The limit in settings must be at least 1; `date` stands for every record's Date and
// `firstSerial` for the Subject serial of the first one; the file numbers start at
// settings.startNumber.
CheckResult checkText(const ConvertSettings& settings, const std::u16string& date, int firstSerial);

// Several texts as one run would convert them (settings.input is not read): each from a record
// of its own, with its own Subject where it has one and the serial running on. One result each.
std::vector<CheckResult> checkTexts(const ConvertSettings& settings, const std::vector<ConvertInput>& inputs,
                                    const std::u16string& date, int firstSerial);

// The engine's own dry run behind both: Convert's decisions, with the records counted instead of
// written (settings.folder is not used). A text that cannot be read is told in its result.
std::vector<CheckResult> countRecords(const ConvertSettings& settings,
                                      const std::vector<ConvertInput>& inputs, Message& message,
                                      ConvertHost& host);

}  // namespace orvella
