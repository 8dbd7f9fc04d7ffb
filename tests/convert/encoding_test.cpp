// Telling a text's encoding from its head, and the encoding a user names.
#include "convert/encoding.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvella {
namespace {

struct DetectCase {
  const char* name;
  std::string head;
  bool whole;
  TextEncoding encoding;
  std::size_t markBytes;
};

const std::string kUtf8Kanji = "\xe5\xa4\x89\xe6\x8f\x9b";  // 変換
const std::string kCp932Kanji = "\x95\xcf\x8a\xb7";         // 変換
const std::string kCp932Kana = "\x82\xa0\x82\xa2\x83\x41";  // あいア
const std::string kCp932HalfWidth = "\xb1\xb2\xb3\xdf";     // ｱｲｳﾟ

std::string asciiOf(std::size_t n) { return std::string(n, 'a'); }

TEST(DetectEncoding, MarkThenHeadDecide) {
  const std::vector<DetectCase> cases = {
      {"empty", "", true, TextEncoding::Cp932, 0},
      {"ASCII only reads the same either way", "plain text\r\n", true, TextEncoding::Cp932, 0},
      {"UTF-8 with a mark",
       "\xef\xbb\xbf"
       "abc",
       true, TextEncoding::Utf8, 3},
      {"UTF-8 mark alone", "\xef\xbb\xbf", true, TextEncoding::Utf8, 3},
      {"UTF-16LE mark",
       "\xff\xfe"
       "a\0",
       true, TextEncoding::Utf16Le, 2},
      {"UTF-16BE mark", "\xfe\xff\0a", true, TextEncoding::Utf16Be, 2},
      {"UTF-8 without a mark", "ab " + kUtf8Kanji + "\r\n", true, TextEncoding::Utf8, 0},
      {"code page 932 kanji", kCp932Kanji + "\r\n", true, TextEncoding::Cp932, 0},
      {"code page 932 kana", kCp932Kana, true, TextEncoding::Cp932, 0},
      {"code page 932 half-width katakana", kCp932HalfWidth, true, TextEncoding::Cp932, 0},
      {"UTF-8 then one bad byte in the head", kUtf8Kanji + "\xff", false, TextEncoding::Cp932, 0},
      {"UTF-8 cut by the end of a head that is not all", kUtf8Kanji + "\xe5\xa4", false, TextEncoding::Utf8,
       0},
      {"UTF-8 cut by the end of the whole file", kUtf8Kanji + "\xe5\xa4", true, TextEncoding::Cp932, 0},
      {"overlong form is no UTF-8", "\xc0\xaf" + kUtf8Kanji, true, TextEncoding::Cp932, 0},
      {"encoded surrogate is no UTF-8", "\xed\xa0\x80" + kUtf8Kanji, true, TextEncoding::Cp932, 0},
      {"multi-byte late in a long ASCII head", asciiOf(4000) + kUtf8Kanji, true, TextEncoding::Utf8, 0},
  };
  for (const auto& c : cases) {
    const Detection d = detectEncoding(c.head, c.whole);
    EXPECT_EQ(d.encoding, c.encoding) << c.name;
    EXPECT_EQ(d.markBytes, c.markBytes) << c.name;
  }
}

// Code page 932 bytes that are also valid UTF-8: the UTF-8 reading wins, and naming the
// encoding takes them as code page 932.
TEST(DetectEncoding, BytesValidInBothReadAsUtf8UnlessTheUserSaysOtherwise) {
  const std::string both =
      "\xe3\x81\x82\xe3\x81\x84";  // あい in UTF-8; three double-byte codes in code page 932
  EXPECT_EQ(detectEncoding(both, true).encoding, TextEncoding::Utf8);
  EXPECT_EQ(chooseEncoding(EncodingChoice::Cp932, both, true).encoding, TextEncoding::Cp932);
}

TEST(ChooseEncoding, AChosenEncodingSkipsOnlyItsOwnMark) {
  struct Case {
    EncodingChoice choice;
    std::string head;
    TextEncoding encoding;
    std::size_t markBytes;
  };
  const std::vector<Case> cases = {
      {EncodingChoice::Utf8,
       "\xef\xbb\xbf"
       "a",
       TextEncoding::Utf8, 3},
      {EncodingChoice::Utf8, "a", TextEncoding::Utf8, 0},
      {EncodingChoice::Utf8, kCp932Kanji, TextEncoding::Utf8, 0},  // the user knows better
      {EncodingChoice::Utf16Le,
       "\xff\xfe"
       "a\0",
       TextEncoding::Utf16Le, 2},
      {EncodingChoice::Utf16Le, "a\0", TextEncoding::Utf16Le, 0},
      {EncodingChoice::Utf16Be,
       "\xff\xfe"
       "a\0",
       TextEncoding::Utf16Be, 0},
      {EncodingChoice::Cp932,
       "\xef\xbb\xbf"
       "a",
       TextEncoding::Cp932, 0},
      {EncodingChoice::Auto, "\xfe\xff\0a", TextEncoding::Utf16Be, 2},
  };
  for (const auto& c : cases) {
    const Detection d = chooseEncoding(c.choice, c.head, true);
    EXPECT_EQ(d.encoding, c.encoding) << static_cast<int>(c.choice) << " " << c.head;
    EXPECT_EQ(d.markBytes, c.markBytes) << static_cast<int>(c.choice) << " " << c.head;
  }
}

TEST(ParseEncodingChoice, KnowsTheCommandLineNames) {
  EXPECT_EQ(parseEncodingChoice("auto"), EncodingChoice::Auto);
  EXPECT_EQ(parseEncodingChoice("cp932"), EncodingChoice::Cp932);
  EXPECT_EQ(parseEncodingChoice("UTF-8"), EncodingChoice::Utf8);
  EXPECT_EQ(parseEncodingChoice("utf-16le"), EncodingChoice::Utf16Le);
  EXPECT_EQ(parseEncodingChoice("utf-16BE"), EncodingChoice::Utf16Be);
  for (const char* bad : {"", "utf8", "sjis", "utf-16", "auto "}) {
    EXPECT_FALSE(parseEncodingChoice(bad).has_value()) << bad;
  }
}

}  // namespace
}  // namespace orvella
