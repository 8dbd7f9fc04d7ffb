#include "convert/header_values.hpp"

#include <algorithm>
#include <cstdint>

namespace orvella {

namespace {

constexpr char32_t kDel = 0x7F;
constexpr char32_t kFirstC1 = 0x80;
constexpr char32_t kLastC1 = 0x9F;
// UTF-8 writes the C1 controls as this lead byte and a second byte in the C1 range itself.
constexpr unsigned char kC1Lead = 0xC2;

bool breaksHeader(char32_t c) {
  return (c < 0x20 && c != U'\t') || c == kDel || (c >= kFirstC1 && c <= kLastC1);
}

bool breaksHeader16(char16_t c) { return breaksHeader(c); }

}  // namespace

bool isHeaderSafe(std::u16string_view value) {
  return std::none_of(value.begin(), value.end(), breaksHeader16);
}

bool isHeaderSafe(std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < kFirstC1 ? breaksHeader(byte)
                        : byte == kC1Lead && i + 1 < utf8.size() &&
                              breaksHeader(static_cast<unsigned char>(utf8[i + 1]))) {
      return false;
    }
  }
  return true;
}

std::u16string headerSafe(std::u16string_view value) {
  std::u16string safe(value);
  std::replace_if(safe.begin(), safe.end(), breaksHeader16, u' ');
  return safe;
}

}  // namespace orvella
