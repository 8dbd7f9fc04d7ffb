#include "convert/defaults.hpp"

namespace orvella {

std::u16string nameWithoutExtension(std::u16string_view path, std::u16string_view separators) {
  const std::size_t cut = path.find_last_of(separators);
  std::u16string_view name = cut == std::u16string_view::npos ? path : path.substr(cut + 1);
  const std::size_t dot = name.rfind(u'.');
  if (dot != std::u16string_view::npos) name = name.substr(0, dot);
  return std::u16string(name);
}

}  // namespace orvella
