// Why something failed, the one form every layer above the system hands up: what failed, the
// system's own error where there is one, and the file or folder it concerns. The words for the
// user are made from it at the edge (reasons.hpp).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/error.hpp"

namespace orvella {

enum class FailureKind {
  Read,               // an input could not be opened or read
  Write,              // a record could not be written
  NumbersOut,         // the last file number used with input left
  SerialsOut,         // the last Subject serial used with records left
  RecordTooLarge,     // a line would make its record too large to write
  Unconfirmed,        // a record written that the system could not confirm on disk (path: the record)
  FolderUnconfirmed,  // the same for the records' folder as a whole, where no file is flushed alone
  // A run refused before it reads anything.
  InvalidLimit,       // the limit is below 1
  HeaderBreaks,       // a header value (field) holds a line break or another control character
  HeaderTooLong,      // a header value (field) is past its limit
  FolderNotWritable,  // the records' folder (path) refuses a write
  FolderBusy,         // another run holds the records' folder (path)
  InputIsOutput,      // the input (path) is one of the records the run would write
  // A record read back, held to the layout that builds it (path: the record).
  RecordUnreadable,    // it could not be opened or read
  RecordNotAFile,      // a folder, or something else that is no file, under a record's name
  RecordHeaderLine,    // the line is not the header line due at that place
  RecordLineEnd,       // a CR or an LF that is not a CR LF
  RecordEndsInHeader,  // the file ends before its header does
  RecordCutLine,       // the last line has no line end: the file ends part way through it
  RecordNoFooter,      // the body does not end with the footer
  RecordAfterFooter,   // something follows the footer
  // A folder of records read back (path: the folder, or for a hole the first record missing).
  FolderUnreadable,  // it could not be listed
  NoRecords,         // nothing in it has a record's name
  Hole,              // the series misses a number, so it cannot be joined
  JoinWrite,         // the joined text could not be written (path: its file, empty for the output)
};

struct Failure {
  FailureKind kind = FailureKind::Write;
  std::optional<platform::SystemError> system = std::nullopt;
  std::filesystem::path path = {};
  std::uint64_t line = 0;  // where in the file a record's fault was seen, counted from 1
  std::string field = {};  // the header value concerned, by the name the user knows it by
};

}  // namespace orvella
