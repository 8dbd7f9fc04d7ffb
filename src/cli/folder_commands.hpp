// --verify and --join: a folder of records read back, checked or put back together.
#pragma once

#include <optional>

#include "cli/options.hpp"
#include "convert/failure.hpp"

namespace orvella::cli {

// The listing on standard output; the exit code: 1 when it names something, else 0.
int verifyCommand(const Options& o);

// The joined text on standard output, or in o.output whole or not at all; nothing once joined,
// otherwise why it stopped.
[[nodiscard]] std::optional<Failure> joinCommand(const Options& o);

}  // namespace orvella::cli
