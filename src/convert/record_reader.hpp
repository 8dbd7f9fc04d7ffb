// Reads a written record back by the one layout that builds it (core/message.hpp): the header
// lines in order, the body lines, the footer, every line ended by CR LF and nothing after the
// footer. Whatever else a file holds is a fault, told with the line it is seen on; nothing is
// guessed. A record is read in blocks, so memory stays the same whatever its size.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/message.hpp"
#include "platform/error.hpp"

namespace orvella {

enum class RecordFault {
  None,
  Unreadable,    // the file could not be opened or read
  NotAFile,      // a folder, or something else that is no file, under a record's name
  HeaderLine,    // the line is not the header line due at that place
  LineEnd,       // a CR or an LF that is not a CR LF
  EndsInHeader,  // the file ends before its header does
  CutLine,       // the last line has no line end: the file ends part way through it
  NoFooter,      // the body does not end with the footer
  AfterFooter,   // something follows the footer
};

struct RecordOutcome {
  RecordFault fault = RecordFault::None;
  std::uint64_t line = 0;       // where the fault was seen, counted from 1
  platform::SystemError error;  // why, for Unreadable
  std::uint64_t bytes = 0;      // bytes read
  bool ok() const { return fault == RecordFault::None; }
};

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
  // Reads the file to its end, or up to its first fault.
  [[nodiscard]] RecordOutcome read(const std::filesystem::path& file, RecordVisitor& visitor);

 private:
  std::vector<char> block_;  // kept from record to record
};

// The fault for the user (UTF-8), naming the line and, for a header line, the one expected.
[[nodiscard]] std::string faultText(const RecordOutcome& outcome);

}  // namespace orvella
