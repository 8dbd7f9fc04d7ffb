// Code page 932 (Windows Shift_JIS) between UTF-16 and bytes, from generated tables.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvella::cp932 {

// The byte written for a character the code page lacks.
inline constexpr char kSubstitute = '?';

// Bytes for one BMP code unit: 0 when unmapped, else 0x00..0xFF (one byte) or lead<<8|trail;
// NUL, whose byte is 0x00, is the one mapped unit that also gives 0.
std::uint16_t encodeUnit(char16_t unit);

// UTF-16 to bytes, as Windows does it; a surrogate pair (or a lone surrogate) becomes one '?'.
void encodeAppend(std::string& out, std::u16string_view text);
std::string encode(std::u16string_view text);

// Bytes to UTF-16 for display; an invalid byte or sequence becomes U+FFFD.
std::u16string decode(std::string_view bytes);

// Width of one UTF-16 unit under the byte measure: 2 for a double-byte character or NUL, else 1.
int unitWidth(char16_t unit);

}  // namespace orvella::cp932
