// File-name pieces the window shows and builds, with the platform's separators.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "convert/defaults.hpp"

namespace orvella::window {

// The first separator is the platform's own.
inline constexpr char16_t kNativeSeparator = kPathSeparators.front();

// The last path component without its extension (from its last dot); a dot in a folder name
// is not an extension.
[[nodiscard]] std::u16string getFilename(std::u16string_view dirname,
                                         std::u16string_view separators = kPathSeparators);

// The last path component as it stands, extension and all.
[[nodiscard]] std::u16string lastComponent(std::u16string_view name,
                                           std::u16string_view separators = kPathSeparators);

// The folder with one separator at its end, ready for a file name; empty stays empty.
[[nodiscard]] std::u16string withTrailingSeparator(std::u16string_view folder,
                                                   std::u16string_view separators = kPathSeparators,
                                                   char16_t separator = kNativeSeparator);

// The path a dialog or a drop named.
[[nodiscard]] std::filesystem::path pathOf(std::u16string_view name);

}  // namespace orvella::window
