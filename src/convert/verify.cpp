#include "convert/verify.hpp"

#include <chrono>
#include <iterator>

#include "convert/reasons.hpp"
#include "convert/record_count.hpp"
#include "convert/record_reader.hpp"
#include "convert/texts.hpp"
#include "core/date_stamp.hpp"
#include "core/length_b.hpp"
#include "core/utf.hpp"
#include "platform/record_names.hpp"

namespace orvella {

namespace {

constexpr std::uint64_t kFirstBodyLine = std::size(kHeaderLines) + 1;
// Items shown in a section, as many as of the body lines that look like structure.
constexpr std::size_t kShown = StructureLines::kSamples;

// What one record holds, kept apart until the record has been read whole.
class RecordLook : public RecordVisitor {
 public:
  explicit RecordLook(int number) : number_(number) {}

  void headerValue(HeaderValue which, std::string_view value) override {
    if (which == HeaderValue::Date) date_ = value;
  }
  void bodyPiece(std::string_view piece, bool endsLine) override {
    if (lineStart_) structure_.look(piece, line_, number_);
    measure_ += rawLineLength(piece);
    lineStart_ = endsLine;
    if (!endsLine) return;
    counted_ += measure_ + RecordCount::kLineEnd;
    measure_ = 0;
    ++line_;
  }

  const std::string& date() const { return date_; }
  std::int64_t counted() const { return counted_; }
  const StructureLines& structure() const { return structure_; }

 private:
  int number_;
  std::string date_;
  std::int64_t counted_ = RecordCount::kStart;
  std::int64_t measure_ = 0;
  std::uint64_t line_ = kFirstBodyLine;
  bool lineStart_ = true;
  StructureLines structure_;
};

// Lines in a titled section: "title: なし", or "title: count" and the items, the first few.
void section(std::vector<std::string>& out, std::string_view title, std::size_t count, std::string_view unit,
             const std::vector<std::string>& items) {
  std::string head(title);
  if (count == 0) {
    out.push_back(head + std::string(texts::kNone));
    return;
  }
  out.push_back(head + std::to_string(count) + std::string(unit));
  for (std::size_t i = 0; i < items.size() && i < kShown; ++i) {
    out.push_back(std::string(texts::kLinePrefix) + items[i]);
  }
  if (items.size() > kShown) {
    out.push_back(std::string(texts::kMorePrefix) + std::to_string(items.size() - kShown) +
                  std::string(texts::kFilesSuffix));
  }
}

std::string sizeText(const RecordSize& size) {
  return texts::fillIn(texts::kVerifySize, {{"name", fileNameFor(size.number)},
                                            {"counted", std::to_string(size.counted)},
                                            {"bytes", std::to_string(size.bytes)}});
}

}  // namespace

bool VerifyReport::listsAnything() const {
  return folderFailure || series.records.empty() || !series.holes().empty() || !series.strays.empty() ||
         !damaged.empty() || !overLimit.empty() || structure.count() > 0 || !unreadableDates.empty() ||
         !datesBack.empty();
}

VerifyReport verifyFolder(const std::filesystem::path& folder, std::int64_t limit) {
  VerifyReport report;
  report.folderFailure = readSeries(folder, report.series);
  if (report.folderFailure) return report;
  RecordReader reader;
  std::optional<std::pair<int, std::chrono::sys_seconds>> lastDate;
  for (const SeriesRecord& record : report.series.records) {
    const std::filesystem::path file = folder / fileNameFor(record.number);
    if (!record.isFile) {
      report.damaged.push_back({FailureKind::RecordNotAFile, std::nullopt, file});
      continue;
    }
    RecordLook look(record.number);
    if (auto fault = reader.read(file, look)) {
      report.damaged.push_back(*fault);
      continue;
    }
    const RecordSize size{record.number, look.counted(), reader.bytesRead()};
    if (!report.largest || size.counted > report.largest->counted) report.largest = size;
    if (size.counted > limit) report.overLimit.push_back(size);
    report.structure.merge(look.structure());
    const auto moment = stampMoment(look.date());
    if (!moment) {
      report.unreadableDates.push_back(record.number);
      continue;
    }
    if (lastDate && *moment < lastDate->second) report.datesBack.emplace_back(lastDate->first, record.number);
    lastDate.emplace(record.number, *moment);
  }
  return report;
}

std::vector<std::string> verifyListing(const VerifyReport& report, std::int64_t limit) {
  namespace t = texts;
  std::vector<std::string> out;
  if (report.folderFailure) {
    out.push_back(failureText(*report.folderFailure));
    return out;
  }
  const RecordSeries& series = report.series;
  if (series.records.empty()) {
    out.push_back(failureText({FailureKind::NoRecords}));
  } else {
    out.push_back(t::fillIn(t::kVerifySeries, {{"first", fileNameFor(series.records.front().number)},
                                               {"last", fileNameFor(series.records.back().number)},
                                               {"count", std::to_string(series.records.size())}}));
  }

  std::vector<std::string> items;
  std::size_t missing = 0;
  for (const auto& [first, last] : series.holes()) {
    missing += static_cast<std::size_t>(last - first + 1);
    items.push_back(first == last
                        ? fileNameFor(first)
                        : fileNameFor(first) + std::string(t::kLeftoversMiddle) + fileNameFor(last));
  }
  section(out, t::kVerifyHoles, missing, t::kFilesSuffix, items);

  items.clear();
  for (const auto& name : series.strays) items.push_back(utf8Of(name));
  section(out, t::kVerifyStrays, items.size(), t::kFilesSuffix, items);

  items.clear();
  for (const Failure& fault : report.damaged) items.push_back(failureText(fault));
  section(out, t::kVerifyDamaged, items.size(), t::kFilesSuffix, items);

  if (report.largest) {
    out.push_back(std::string(t::kVerifyLargest) + sizeText(*report.largest));
  }
  items.clear();
  for (const RecordSize& size : report.overLimit) items.push_back(sizeText(size));
  section(out, t::fillIn(t::kVerifyOverLimit, {{"limit", std::to_string(limit)}}), items.size(),
          t::kFilesSuffix, items);

  std::vector<std::string> structure = structureLines(report.structure);
  if (structure.empty()) structure.push_back(std::string(t::kStructurePrefix) + std::string(t::kNone));
  out.insert(out.end(), structure.begin(), structure.end());

  items.clear();
  for (const auto& [before, after] : report.datesBack) {
    items.push_back(
        t::fillIn(t::kVerifyDateBefore, {{"name", fileNameFor(after)}, {"before", fileNameFor(before)}}));
  }
  for (const int number : report.unreadableDates) {
    items.push_back(fileNameFor(number) + std::string(t::kVerifyDateUnreadable));
  }
  section(out, t::kVerifyDates, items.size(), t::kFilesSuffix, items);
  return out;
}

}  // namespace orvella
