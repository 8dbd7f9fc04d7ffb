// Why a system call failed, in Japanese: the one table every message with a reason draws on.
#pragma once

#include <string>
#include <system_error>

#include "platform/error.hpp"

namespace orvella {

[[nodiscard]] std::string reasonText(const platform::SystemError& error);
// The same for a failure the standard library reports (std::filesystem, std::system_error),
// whose number is the platform's own.
[[nodiscard]] std::string reasonText(const std::error_code& error);

}  // namespace orvella
