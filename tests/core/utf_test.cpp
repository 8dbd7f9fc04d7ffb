#include "core/utf.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace orvella {
namespace {

std::string hex(std::string_view bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
    out += ' ';
  }
  return out;
}

TEST(Utf8ToUtf16, DecodesValidText) {
  const std::vector<std::pair<std::string, std::u16string>> cases = {
      {"", u""},
      {"abc", u"abc"},
      {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
      {"\x7F", u"\x7F"},
      {"\xC2\x80", u"\x80"},
      {"\xDF\xBF", u"\x7FF"},
      {"\xE0\xA0\x80", u"\x800"},
      {"\xED\x9F\xBF", u"\xD7FF"},
      {"\xEE\x80\x80", u"\xE000"},
      {"\xEF\xBF\xBD", u"\xFFFD"},
      {"\xEF\xBF\xBF", u"\xFFFF"},
      {"\xF0\x90\x80\x80", u"\xD800\xDC00"},
      {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
      {"変換ｱ", u"変換ｱ"},
      {"a😀b", u"a😀b"},
  };
  for (const auto& [in, out] : cases) {
    const auto got = utf8ToUtf16(in);
    ASSERT_TRUE(got.has_value()) << hex(in);
    EXPECT_EQ(*got, out) << hex(in);
  }
}

TEST(Utf8ToUtf16, RefusesInvalidText) {
  const std::vector<std::pair<std::string, const char*>> cases = {
      {"\x80", "lone continuation byte"},
      {"a\xBF", "continuation after ASCII"},
      {"\xC0\x80", "overlong NUL"},
      {"\xC1\xBF", "overlong ASCII"},
      {"\xE0\x80\x80", "overlong three-byte"},
      {"\xE0\x9F\xBF", "overlong just below U+0800"},
      {"\xF0\x80\x80\x80", "overlong four-byte"},
      {"\xF0\x8F\xBF\xBF", "overlong just below U+10000"},
      {"\xED\xA0\x80", "high surrogate"},
      {"\xED\xBF\xBF", "low surrogate"},
      {"\xED\xA0\xBD\xED\xB8\x80", "surrogate pair encoded as two sequences"},
      {"\xF4\x90\x80\x80", "past U+10FFFF"},
      {"\xF5\x80\x80\x80", "lead byte F5"},
      {"\xF8\x88\x80\x80\x80", "five-byte form"},
      {"\xFE", "byte FE"},
      {"\xFF", "byte FF"},
      {"\xC3", "truncated two-byte"},
      {"\xE3\x81", "truncated three-byte"},
      {"ab\xF0\x9F\x98", "truncated four-byte at the end"},
      {"\xE3\x41\x82", "ASCII inside a sequence"},
      {"\xE3\x81\xC2\x80", "new lead inside a sequence"},
      {"\x95\xCF\x8A\xB7", "Shift_JIS bytes"},
  };
  for (const auto& [in, what] : cases) EXPECT_EQ(utf8ToUtf16(in), std::nullopt) << what;
}

TEST(Utf8ToUtf16, StopsAtTheEndOfTheView) {
  // The bytes past the view would complete each sequence.
  const std::string buffer = "\xC3\xA9\xE6\x8F\x9B\xF0\x9F\x98\x80";
  EXPECT_EQ(utf8ToUtf16(std::string_view(buffer.data(), 1)), std::nullopt);
  EXPECT_EQ(utf8ToUtf16(std::string_view(buffer.data() + 2, 2)), std::nullopt);
  EXPECT_EQ(utf8ToUtf16(std::string_view(buffer.data() + 5, 3)), std::nullopt);
  EXPECT_EQ(utf8ToUtf16(std::string_view(buffer.data(), 5)), std::optional<std::u16string>(u"é換"));
}

TEST(Utf16ToUtf8, EncodesAndReplacesLoneSurrogates) {
  const std::vector<std::pair<std::u16string, std::string>> cases = {
      {u"", ""},
      {u"abc", "abc"},
      {u"\x7FF", "\xDF\xBF"},
      {u"変換", "変換"},
      {u"😀", "\xF0\x9F\x98\x80"},
      {u"\xDBFF\xDFFF", "\xF4\x8F\xBF\xBF"},
      {u"a\xD800"
       u"b",
       "a\xEF\xBF\xBD"
       "b"},
      {u"a\xDC00", "a\xEF\xBF\xBD"},
      {u"\xDC00\xD800", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {u"\xDC00\xDC00", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {u"\xD83D\xD83D\xDE00", "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(hex(utf16ToUtf8(in)), hex(out)) << in.size() << " units";
}

TEST(Utf16ToUtf8, EveryCodePointRoundTrips) {
  for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    std::u16string text;
    if (cp < 0x10000) {
      text = std::u16string(1, static_cast<char16_t>(cp));
    } else {
      text = {static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)),
              static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF))};
    }
    const auto back = utf8ToUtf16(utf16ToUtf8(text));
    ASSERT_TRUE(back.has_value()) << std::hex << static_cast<unsigned>(cp);
    ASSERT_EQ(*back, text) << std::hex << static_cast<unsigned>(cp);
  }
}

}  // namespace
}  // namespace orvella
