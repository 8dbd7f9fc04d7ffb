#include "convert/header_values.hpp"

#include <algorithm>

namespace orvella {

namespace {

template <class Char>
bool breaksHeader(Char c) {
  return static_cast<std::uint32_t>(c) < 0x20 && c != Char('\t');
}

}  // namespace

bool isHeaderSafe(std::u16string_view value) {
  return std::none_of(value.begin(), value.end(), breaksHeader<char16_t>);
}

bool isHeaderSafe(std::string_view utf8) {
  return std::none_of(utf8.begin(), utf8.end(), [](char c) { return breaksHeader(static_cast<unsigned char>(c)); });
}

std::u16string headerSafe(std::u16string_view value) {
  std::u16string safe(value);
  std::replace_if(safe.begin(), safe.end(), breaksHeader<char16_t>, u' ');
  return safe;
}

}  // namespace orvella
