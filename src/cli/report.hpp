// What orvella-convert tells about its input: after a run, and as the listing of --check.
#pragma once

#include <string>
#include <vector>

#include "convert/input_report.hpp"
#include "convert/text_check.hpp"

namespace orvella::cli {

// The encoding read, the '?' written and the lines that look like structure (UTF-8 lines).
std::vector<std::string> runReport(const InputReport& report);

// Everything --check found, one line each.
std::vector<std::string> checkListing(const CheckResult& result);

}  // namespace orvella::cli
