#include "convert/join.hpp"

#include "convert/reasons.hpp"
#include "convert/record_reader.hpp"
#include "convert/record_series.hpp"
#include "convert/texts.hpp"
#include "core/message.hpp"
#include "platform/record_names.hpp"

namespace orvella {

namespace {

// Enough to keep the calls to the sink few.
constexpr std::size_t kFlushBytes = std::size_t{1} << 20;

// The body as written: each line with its CR LF, gathered and handed on in large pieces.
class BodyOut : public RecordVisitor {
 public:
  explicit BodyOut(const JoinSink& sink) : sink_(sink) { buffer_.reserve(kFlushBytes + kCrLf.size()); }

  void bodyPiece(std::string_view piece, bool endsLine) override {
    if (failed_) return;
    if (buffer_.size() + piece.size() > kFlushBytes && !flush()) return;
    if (piece.size() > kFlushBytes) {
      pass(piece);
    } else {
      buffer_.append(piece);
    }
    if (endsLine) buffer_.append(kCrLf);
  }

  bool flush() {
    if (!failed_ && !buffer_.empty()) pass(buffer_);
    buffer_.clear();
    return !failed_;
  }
  const std::optional<platform::SystemError>& failed() const { return failed_; }
  std::uint64_t bytes() const { return bytes_; }

 private:
  void pass(std::string_view bytes) {
    failed_ = sink_(bytes);
    if (!failed_) bytes_ += bytes.size();
  }

  const JoinSink& sink_;
  std::string buffer_;
  std::optional<platform::SystemError> failed_;
  std::uint64_t bytes_ = 0;
};

JoinResult stopped(JoinStatus status, std::string message) {
  JoinResult result;
  result.status = status;
  result.message = std::move(message);
  return result;
}

JoinResult damaged(int number, const RecordOutcome& outcome) {
  return stopped(JoinStatus::Damaged, fileNameFor(number) + ": " + faultText(outcome));
}

}  // namespace

JoinResult joinFolder(const std::filesystem::path& folder, const JoinSink& sink) {
  RecordSeries series;
  if (auto failed = readSeries(folder, series)) {
    return stopped(JoinStatus::FolderUnreadable,
                   std::string(texts::kVerifyFolderUnreadable) + reasonText(*failed));
  }
  if (series.records.empty()) {
    return stopped(JoinStatus::NoRecords, texts::fillIn(texts::kVerifyNoRecords, {{"name", fileNameFor(0)}}));
  }
  if (const auto holes = series.holes(); !holes.empty()) {
    return stopped(JoinStatus::Hole,
                   texts::fillIn(texts::kJoinHole, {{"name", fileNameFor(holes.front().first)}}));
  }
  RecordReader reader;
  RecordVisitor nothing;
  for (const SeriesRecord& record : series.records) {
    RecordOutcome outcome;
    if (!record.isFile) {
      outcome.fault = RecordFault::NotAFile;
    } else {
      outcome = reader.read(folder / fileNameFor(record.number), nothing);
    }
    if (!outcome.ok()) return damaged(record.number, outcome);
  }
  BodyOut out(sink);
  for (const SeriesRecord& record : series.records) {
    // A record changed since it was read through stops the join here, what went before gone out.
    const RecordOutcome outcome = reader.read(folder / fileNameFor(record.number), out);
    if (!outcome.ok()) return damaged(record.number, outcome);
    if (out.failed()) break;
  }
  out.flush();
  if (out.failed()) {
    return stopped(JoinStatus::WriteFailed, std::string(texts::kJoinWriteFailed) + reasonText(*out.failed()));
  }
  JoinResult result;
  result.bytes = out.bytes();
  return result;
}

}  // namespace orvella
