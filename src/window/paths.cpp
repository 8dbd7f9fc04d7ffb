#include "window/paths.hpp"

#include "core/utf.hpp"

namespace orvella::window {

std::u16string getFilename(std::u16string_view dirname, std::u16string_view separators) {
  return nameWithoutExtension(dirname, separators);
}

std::u16string lastComponent(std::u16string_view name, std::u16string_view separators) {
  const std::size_t cut = name.find_last_of(separators);
  return std::u16string(cut == std::u16string_view::npos ? name : name.substr(cut + 1));
}

std::u16string withTrailingSeparator(std::u16string_view folder, std::u16string_view separators,
                                     char16_t separator) {
  std::u16string completed(folder);
  if (!folder.empty() && separators.find(folder.back()) == std::u16string_view::npos) completed += separator;
  return completed;
}

std::filesystem::path pathOf(std::u16string_view name) {
#ifdef _WIN32
  // Windows names are UTF-16 already, unpaired surrogates and all.
  return std::filesystem::path(std::wstring(name.begin(), name.end()));
#else
  return pathFromUtf8(utf16ToUtf8(name));
#endif
}

}  // namespace orvella::window
