// UTF-8 <-> UTF-16, for command-line values and messages.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace orvella {

// Empty optional when the input is not valid UTF-8 (overlongs, surrogates, bad sequences).
std::optional<std::u16string> utf8ToUtf16(std::string_view text);

// Lone surrogates become U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

// A path named by UTF-8 text. A plain std::string would be read in the system's code page on
// Windows, and a Japanese folder name would come out garbled.
std::filesystem::path pathFromUtf8(std::string_view text);
// The path as UTF-8, for messages and the Subject.
std::string utf8Of(const std::filesystem::path& path);

}  // namespace orvella
