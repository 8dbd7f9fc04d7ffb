// Handles as the seam's classes keep them (std::intptr_t, -1 for none), for the Windows files.
#pragma once

#include <windows.h>

#include <cstdint>

namespace orvella::platform {

inline HANDLE toHandle(std::intptr_t value) { return reinterpret_cast<HANDLE>(value); }
inline std::intptr_t fromHandle(HANDLE h) {
  return h == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<std::intptr_t>(h);
}

}  // namespace orvella::platform
