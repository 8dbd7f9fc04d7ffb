// Whether a folder holds one whole series of records as Orvella writes them, ready for a
// handset: read through once, nothing written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "convert/failure.hpp"
#include "convert/input_report.hpp"
#include "convert/record_series.hpp"

namespace orvella {

struct RecordSize {
  int number = 0;
  std::int64_t counted = 0;  // as the limit counts it
  std::uint64_t bytes = 0;   // the file's size
};

// A record the layout does not describe is listed as damaged and left out of the sizes, the
// body lines and the Dates: nothing is read into it.
struct VerifyReport {
  std::optional<Failure> folderFailure;  // the folder could not be read
  RecordSeries series;
  std::vector<Failure> damaged;       // in number order
  std::optional<RecordSize> largest;  // by counted size
  std::vector<RecordSize> overLimit;
  StructureLines structure;          // body lines a reader may take for structure, with their record
  std::vector<int> unreadableDates;  // a Date that is no stamp
  std::vector<std::pair<int, int>> datesBack;  // (a record, the next one whose Date is earlier)

  [[nodiscard]] bool listsAnything() const;
};

// Reads every record of the folder; `limit` is the byte limit the sizes are held against.
[[nodiscard]] VerifyReport verifyFolder(const std::filesystem::path& folder, std::int64_t limit);

// The report for the user, one line each (UTF-8).
[[nodiscard]] std::vector<std::string> verifyListing(const VerifyReport& report, std::int64_t limit);

}  // namespace orvella
