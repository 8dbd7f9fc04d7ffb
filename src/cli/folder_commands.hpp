// --verify and --join: a folder of records read back, checked or put back together.
#pragma once

#include <string>

#include "cli/options.hpp"

namespace orvella::cli {

// The listing on standard output; the exit code: 1 when it names something, else 0.
int verifyCommand(const Options& o);

// The joined text on standard output, or in o.output whole or not at all; the exit code, with
// why it stopped in `error` (UTF-8) when it is not 0.
int joinCommand(const Options& o, std::string& error);

}  // namespace orvella::cli
