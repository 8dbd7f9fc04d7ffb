// Why a system call failed, in Japanese: the one table every message with a reason draws on.
#pragma once

#include <string>

#include "platform/error.hpp"

namespace orvella {

[[nodiscard]] std::string reasonText(const platform::SystemError& error);

}  // namespace orvella
