#include "convert/record_series.hpp"

#include <algorithm>

#include "core/utf.hpp"
#include "platform/folder_listing.hpp"
#include "platform/record_names.hpp"

namespace orvella {

std::vector<std::pair<int, int>> RecordSeries::holes() const {
  std::vector<std::pair<int, int>> runs;
  for (std::size_t i = 1; i < records.size(); ++i) {
    if (records[i].number > records[i - 1].number + 1) {
      runs.emplace_back(records[i - 1].number + 1, records[i].number - 1);
    }
  }
  return runs;
}

std::optional<Failure> readSeries(const std::filesystem::path& folder, RecordSeries& series) {
  std::vector<platform::FolderEntry> entries;
  if (auto failed = platform::listFolder(folder, entries))
    return Failure{FailureKind::FolderUnreadable, failed, folder};
  for (const platform::FolderEntry& entry : entries) {
    if (const auto number = recordNumberOf(utf8Of(entry.name))) {
      series.records.push_back({*number, entry.isFile});
    } else {
      series.strays.push_back(entry.name);
    }
  }
  std::sort(series.records.begin(), series.records.end(),
            [](const SeriesRecord& a, const SeriesRecord& b) { return a.number < b.number; });
  std::sort(series.strays.begin(), series.strays.end());
  return std::nullopt;
}

}  // namespace orvella
