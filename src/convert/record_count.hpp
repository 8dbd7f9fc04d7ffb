// Where a record ends, the one rule a conversion and --check both follow: a running count that
// starts at the three MIME lines of the header and grows by each body line's measure and its
// CR LF. A line that would take it past the limit, or the record's bytes past kMaxRecordBytes,
// opens the next record. The rest of the header and the footer go uncounted.
#pragma once

#include <cstdint>

#include "core/message.hpp"

namespace orvella {

// The largest record the writer makes; a line that would need a larger one stops the run.
inline constexpr std::uint64_t kMaxRecordBytes = std::uint64_t{1} << 31;

class RecordCount {
 public:
  static constexpr std::int64_t kStart = kCountedHeaderBytes;
  static constexpr std::int64_t kLineEnd = kCrLf.size();

  explicit RecordCount(std::int64_t limit) : limit_(limit) {}

  // Whether a line of this measure and these bytes, with its line end, still fits the record in
  // hand, which holds recordBytes so far.
  bool fits(std::int64_t measure, std::uint64_t recordBytes, std::uint64_t lineBytes) const {
    return count_ + measure + kLineEnd <= limit_ && closedBytes(recordBytes, lineBytes) <= kMaxRecordBytes;
  }
  // The bytes of the record once the line, its line end and the footer are in.
  static std::uint64_t closedBytes(std::uint64_t recordBytes, std::uint64_t lineBytes) {
    return recordBytes + lineBytes + kCrLf.size() + kFooterBytes;
  }
  // The most a line may measure to fit a record of its own.
  std::int64_t room() const { return limit_ - kStart - kLineEnd; }
  bool fitsAlone(std::int64_t measure) const { return measure <= room(); }
  // A fresh record, with nothing but its header.
  void open() { count_ = kStart; }
  // Counts a line into the record in hand.
  void take(std::int64_t measure) { count_ += measure + kLineEnd; }
  // The count of the record in hand, as measured against the limit.
  std::int64_t value() const { return count_; }

 private:
  std::int64_t limit_;
  std::int64_t count_ = kStart;
};

}  // namespace orvella
