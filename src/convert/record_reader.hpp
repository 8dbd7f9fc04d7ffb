// Reads a written record back by the one layout that builds it (core/message.hpp): the header
// lines in order, the body lines, the footer, every line ended by CR LF and nothing after the
// footer. Whatever else a file holds is a fault, told with the line it is seen on; nothing is
// guessed. A record is read in blocks, so memory stays the same whatever its size.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "convert/failure.hpp"
#include "core/message.hpp"

namespace orvella {

// What reading a record hands out, in file order.
class RecordVisitor {
 public:
  virtual ~RecordVisitor() = default;
  // A header line's value; a value too long for any record is cut short here.
  virtual void headerValue(HeaderValue which, std::string_view value) { (void)which, (void)value; }
  // A body line in one or more pieces, the last with endsLine set (it may be empty). The first
  // piece holds the whole line or more than the footer's widest line: enough to tell how the
  // line begins.
  virtual void bodyPiece(std::string_view piece, bool endsLine) { (void)piece, (void)endsLine; }
};

class RecordReader {
 public:
  RecordReader();
  // Reads the file to its end, or up to its first fault: the fault, nothing for a whole record.
  [[nodiscard]] std::optional<Failure> read(const std::filesystem::path& file, RecordVisitor& visitor);
  // Bytes the last read took from its file.
  [[nodiscard]] std::uint64_t bytesRead() const { return bytes_; }

 private:
  std::vector<char> block_;  // kept from record to record
  std::uint64_t bytes_ = 0;
};

}  // namespace orvella
