// Why something failed, the one form every layer above the system hands up: what failed, the
// system's own error where there is one, and the file or folder it concerns. The words for the
// user are made from it at the edge (reasons.hpp).
#pragma once

#include <filesystem>
#include <optional>

#include "platform/error.hpp"

namespace orvella {

enum class FailureKind {
  Read,            // an input could not be opened or read
  Write,           // a record could not be written
  NumbersOut,      // the last file number used with input left
  SerialsOut,      // the last Subject serial used with records left
  RecordTooLarge,  // a line would make its record too large to write
};

struct Failure {
  FailureKind kind = FailureKind::Write;
  std::optional<platform::SystemError> system;
  std::filesystem::path path;
};

}  // namespace orvella
