#include "platform/byte_output.hpp"

#include <unistd.h>

#include <cerrno>

namespace orvella::platform {

std::optional<SystemError> writeOutputBytes(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return lastError();
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return std::nullopt;
}

}  // namespace orvella::platform
