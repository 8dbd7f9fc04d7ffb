#include "core/length_b.hpp"

#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "core/cp932_tables.hpp"

namespace orvella {

std::int32_t LengthB(std::u16string_view str) {
  // Each unit adds at most 2, so a 64-bit sum cannot wrap and is checked once at the end.
  std::int64_t count = 0;
  for (const char16_t unit : str) count += cp932::tables::width(unit);
  if (count > std::numeric_limits<std::int32_t>::max()) {
    throw std::overflow_error("LengthB: byte count exceeds 2147483647");
  }
  return static_cast<std::int32_t>(count);
}

std::int64_t rawLineLength(std::string_view bytes) {
  auto count = static_cast<std::int64_t>(bytes.size());
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  while (p != end) {
    const void* nul = std::memchr(p, 0, static_cast<std::size_t>(end - p));
    if (nul == nullptr) break;
    ++count;
    p = static_cast<const char*>(nul) + 1;
  }
  return count;
}

}  // namespace orvella
