// Where a record ends: a running count that starts at the three MIME lines of the header and
// grows by each body line's measure and its CR LF. A line that takes it past the limit is
// taken back and opens the next record. The rest of the header and the footer go uncounted.
#pragma once

#include <cstdint>

#include "core/message.hpp"

namespace orvella {

class RecordCount {
 public:
  static constexpr std::int64_t kStart = kCountedHeaderBytes;
  static constexpr std::int64_t kLineEnd = kCrLf.size();

  explicit RecordCount(std::int64_t limit) : limit_(limit) {}

  // Counts a line of the given measure; false when the record can no longer hold it.
  bool add(std::int64_t measure) {
    count_ += measure + kLineEnd;
    return count_ <= limit_;
  }
  // A fresh record opened by a line of the given measure.
  void startWith(std::int64_t measure) { count_ = kStart + measure + kLineEnd; }
  // The count of the record in hand, as measured against the limit.
  std::int64_t value() const { return count_; }

 private:
  std::int64_t limit_;
  std::int64_t count_ = kStart;
};

}  // namespace orvella
