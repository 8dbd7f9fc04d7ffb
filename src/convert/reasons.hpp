// Why a system call failed, in Japanese: the one table every message with a reason draws on.
#pragma once

#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include "convert/failure.hpp"
#include "platform/error.hpp"

namespace orvella {

[[nodiscard]] std::string reasonText(const platform::SystemError& error);
// The same for a failure the standard library reports (std::filesystem, std::system_error),
// whose number is the platform's own.
[[nodiscard]] std::string reasonText(const std::error_code& error);
// A failure as the user is told it: what failed, the file or the record's line, and why.
[[nodiscard]] std::string failureText(const Failure& failure);
// Failures listed under a sentence of their own, one to a line.
[[nodiscard]] std::string failureLines(const std::vector<Failure>& failures);
// A text whose reading failed part way: why, and how many of its bytes are in records; its name
// leads when the run has several texts.
[[nodiscard]] std::string readCutText(const Failure& failure, std::uint64_t bytesConverted, bool named);

}  // namespace orvella
