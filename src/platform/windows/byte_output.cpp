#include "platform/byte_output.hpp"

#include <windows.h>

#include <algorithm>

namespace orvella::platform {

std::optional<SystemError> writeOutputBytes(std::string_view bytes) {
  const HANDLE h = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (h == INVALID_HANDLE_VALUE || h == nullptr)
    return SystemError{ErrorKind::Other, static_cast<int>(ERROR_INVALID_HANDLE)};
  while (!bytes.empty()) {
    DWORD done = 0;
    const DWORD size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    if (!::WriteFile(h, bytes.data(), size, &done, nullptr)) return lastError();
    bytes.remove_prefix(done);
  }
  return std::nullopt;
}

}  // namespace orvella::platform
