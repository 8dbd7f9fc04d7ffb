// The records a folder holds, told by their names: the series in number order, and every
// entry whose name is not a record's.
#pragma once

#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "convert/failure.hpp"

namespace orvella {

struct SeriesRecord {
  int number = 0;
  bool isFile = true;
};

struct RecordSeries {
  std::vector<SeriesRecord> records;          // ascending numbers
  std::vector<std::filesystem::path> strays;  // names only, sorted

  // Runs of numbers missing between the first record and the last: the first and last of each.
  [[nodiscard]] std::vector<std::pair<int, int>> holes() const;
};

// Nothing when the folder could be read; otherwise why not (FolderUnreadable).
[[nodiscard]] std::optional<Failure> readSeries(const std::filesystem::path& folder, RecordSeries& series);

}  // namespace orvella
