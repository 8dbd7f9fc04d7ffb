// Why a system call failed, in Japanese: the one table every message with a reason draws on.
#pragma once

#include <string>
#include <system_error>

#include "convert/failure.hpp"
#include "platform/error.hpp"

namespace orvella {

[[nodiscard]] std::string reasonText(const platform::SystemError& error);
// The same for a failure the standard library reports (std::filesystem, std::system_error),
// whose number is the platform's own.
[[nodiscard]] std::string reasonText(const std::error_code& error);
// A failure as the user is told it: what failed, the file or the record's line, and why.
[[nodiscard]] std::string failureText(const Failure& failure);

}  // namespace orvella
