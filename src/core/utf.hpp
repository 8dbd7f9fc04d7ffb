// UTF-8 <-> UTF-16, for command-line values and messages.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace orvella {

// UTF-16 surrogates: a high one followed by a low one stands for one character past U+FFFF.
constexpr bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
constexpr bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }
// Whether text[i] begins a whole pair.
constexpr bool pairAt(std::u16string_view text, std::size_t i) {
  return isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1]);
}
constexpr char32_t pairedCharacter(char16_t high, char16_t low) {
  return 0x10000 + (char32_t{high & 0x3FFu} << 10 | char32_t{low & 0x3FFu});
}

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
