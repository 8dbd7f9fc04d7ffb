#include "convert/join.hpp"

#include "convert/record_reader.hpp"
#include "convert/record_series.hpp"
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

 private:
  void pass(std::string_view bytes) { failed_ = sink_(bytes); }

  const JoinSink& sink_;
  std::string buffer_;
  std::optional<platform::SystemError> failed_;
};

}  // namespace

std::optional<Failure> joinFolder(const std::filesystem::path& folder, const JoinSink& sink) {
  RecordSeries series;
  if (auto failed = readSeries(folder, series)) return failed;
  if (series.records.empty()) return Failure{FailureKind::NoRecords, std::nullopt, folder};
  if (const auto holes = series.holes(); !holes.empty()) {
    return Failure{FailureKind::Hole, std::nullopt, folder / fileNameFor(holes.front().first)};
  }
  RecordReader reader;
  RecordVisitor nothing;
  for (const SeriesRecord& record : series.records) {
    const std::filesystem::path file = folder / fileNameFor(record.number);
    if (!record.isFile) return Failure{FailureKind::RecordNotAFile, std::nullopt, file};
    if (auto fault = reader.read(file, nothing)) return fault;
  }
  BodyOut out(sink);
  for (const SeriesRecord& record : series.records) {
    // A record changed since it was read through stops the join here, what went before gone out.
    if (auto fault = reader.read(folder / fileNameFor(record.number), out)) return fault;
    if (out.failed()) break;
  }
  out.flush();
  if (out.failed()) return Failure{FailureKind::JoinWrite, out.failed(), {}};
  return std::nullopt;
}

}  // namespace orvella
