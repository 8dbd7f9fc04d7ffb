#include "core/cp932.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/jisx0213.hpp"

#if __has_include(<iconv.h>)
#include <iconv.h>
#define ORVELLA_HAVE_ICONV 1
#endif

namespace orvella::cp932 {
namespace {

std::string bytesOf(std::uint16_t code) {
  if (code > 0xFF) return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  return std::string(1, static_cast<char>(code));
}

std::string hex(std::string_view bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

bool isLeadByte(unsigned b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isTrailByte(unsigned b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Every byte sequence that could be one character: single bytes and lead/trail pairs.
template <typename F>
void forEachCandidateCode(F&& f) {
  for (unsigned b = 0; b < 0x100; ++b) {
    if (!isLeadByte(b)) f(static_cast<std::uint16_t>(b));
  }
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (!isLeadByte(lead)) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      if (isTrailByte(trail)) f(static_cast<std::uint16_t>(lead << 8 | trail));
    }
  }
}

// The code decodes to exactly one character.
std::optional<char16_t> decodesTo(std::uint16_t code) {
  const std::u16string text = decode(bytesOf(code));
  if (text.size() != 1 || text[0] == u'\uFFFD') return std::nullopt;
  return text[0];
}

// Which of a character's codes Windows writes: lower is preferred; ED/EE is never written.
int preference(std::uint16_t code) {
  const unsigned lead = code >> 8;
  if (lead == 0) return 0;
  if (lead == 0x87) return 2;
  if (lead >= 0xFA && lead <= 0xFC) return 3;
  if (lead == 0xED || lead == 0xEE) return 4;
  return 1;
}

struct EncodeCase {
  std::u16string text;
  std::string bytes;
  const char* what;
};

TEST(Cp932Encode, GivesTheBytesWindowsGives) {
  const std::vector<EncodeCase> cases = {
      {u"", "", "empty"},
      {u"ABC\r\n", "ABC\r\n", "ASCII and CR LF"},
      {u"変換", "\x95\xCF\x8A\xB7", "kanji"},
      {u"ｱ", "\xB1", "half-width katakana"},
      {u"｡ﾟ", "\xA1\xDF", "ends of half-width katakana"},
      {u"あ", "\x82\xA0", "hiragana"},
      {u"\\~", "\\~", "0x5C and 0x7E stay backslash and tilde"},
      {u"―", "\x81\x5C", "U+2015 is 81 5C"},
      {u"～", "\x81\x60", "U+FF5E is 81 60"},
      {std::u16string(1, u'\0'), std::string(1, '\0'), "NUL is a byte"},
      // Characters with more than one code: JIS X 0208, then NEC row 13, then IBM.
      {u"∵", "\x81\xE6", "JIS before NEC 87 9A and IBM FA 5B"},
      {u"≒", "\x81\xE0", "JIS before NEC 87 90"},
      {u"≡", "\x81\xDF", "JIS before NEC 87 91"},
      {u"\uFFE2", "\x81\xCA", "full-width not sign: JIS before IBM FA 54 and NEC-selected EE F9"},
      {u"Ⅰ", "\x87\x54", "NEC row 13 before IBM FA 4A"},
      {u"№", "\x87\x82", "NEC row 13 before IBM FA 59"},
      {u"㈱", "\x87\x8A", "NEC row 13 before IBM FA 58"},
      {u"ⅰ", "\xFA\x40", "IBM before NEC-selected EE EF"},
      {u"纊", "\xFA\x5C", "IBM before NEC-selected ED 40"},
      {u"￤", "\xFA\x55", "IBM before NEC-selected EE FA"},
      // User-defined area, both ends and across the gap at trail 0x7F.
      {u"\uE000", "\xF0\x40", "first user-defined"},
      {u"\uE03E", "\xF0\x7E", "before the 0x7F gap"},
      {u"\uE03F", "\xF0\x80", "after the 0x7F gap"},
      {u"\uE0BB", "\xF0\xFC", "end of the first user row"},
      {u"\uE0BC", "\xF1\x40", "start of the second user row"},
      {u"\uE757", "\xF9\xFC", "last user-defined"},
      // No code: one '?' per character.
      {u"\uE758", "?", "past the user-defined area"},
      {u"\u00A6", "?", "broken bar"},
      {u"\u2013", "?", "en dash"},
      {u"a😀b", "a?b", "emoji: a surrogate pair is one character"},
      {u"😀😀", "??", "two pairs"},
      {u"a\xD800"
       u"b",
       "a?b", "lone high surrogate"},
      {u"a\xDC00"
       u"b",
       "a?b", "lone low surrogate"},
      {u"\xDC00\xD800", "??", "pair in the wrong order"},
      {u"\xDC00\xDC00", "??", "two low surrogates"},
      {u"\u00A6\xDC00", "??", "unmapped character before a lone low surrogate"},
      {u"a\xD83D", "a?", "high surrogate at the end"},
      {u"\xD83D\xD83D\xDE00", "??", "high surrogate then a pair"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(hex(encode(c.text)), hex(c.bytes)) << c.what;
  }
}

// Characters another system's input method gives for a key or symbol: written with the code of
// their JIS reading, while those codes still read back as the Windows characters.
struct JisReading {
  char16_t unit;
  std::string bytes;
  char16_t readBack;
};
const JisReading kJisReadings[] = {
    {u'\u301C', "\x81\x60", u'\uFF5E'}, {u'\u2212', "\x81\x7C", u'\uFF0D'},
    {u'\u2016', "\x81\x61", u'\u2225'}, {u'\u2014', "\x81\x5C", u'\u2015'},
    {u'\u00A2', "\x81\x91", u'\uFFE0'}, {u'\u00A3', "\x81\x92", u'\uFFE1'},
    {u'\u00AC', "\x81\xCA", u'\uFFE2'}, {u'\u00A5', "\x5C", u'\\'},
    {u'\u203E', "\x7E", u'~'},
};

bool isJisReading(char16_t unit) {
  return std::any_of(std::begin(kJisReadings), std::end(kJisReadings),
                     [&](const JisReading& r) { return r.unit == unit; });
}

TEST(Cp932Encode, JisReadingsAreWrittenWithTheirShiftJisCode) {
  for (const auto& r : kJisReadings) {
    const std::u16string_view text(&r.unit, 1);
    EXPECT_EQ(hex(encode(text)), hex(r.bytes)) << "U+" << std::hex << int(r.unit);
    EXPECT_EQ(static_cast<std::size_t>(unitWidth(r.unit)), r.bytes.size()) << "U+" << std::hex << int(r.unit);
    EXPECT_EQ(decode(r.bytes), std::u16string(1, r.readBack)) << "U+" << std::hex << int(r.unit);
  }
}

TEST(Cp932Encode, AppendKeepsWhatIsThere) {
  std::string out = "X:";
  encodeAppend(out, u"変");
  encodeAppend(out, u"ｱ");
  EXPECT_EQ(hex(out), hex("X:\x95\xCF\xB1"));
}

struct DecodeCase {
  std::string bytes;
  std::u16string text;
  const char* what;
};

TEST(Cp932Decode, ReadsValidAndReplacesInvalid) {
  const std::vector<DecodeCase> cases = {
      {"", u"", "empty"},
      {std::string("a\0b", 3), std::u16string(u"a\0b", 3), "NUL"},
      {"\x95\xCF\x8A\xB7", u"変換", "kanji"},
      {"\xB1\xA1\xDF", u"ｱ｡ﾟ", "half-width katakana"},
      {"\x81\x5C\x81\x60", u"―～", "81 5C and 81 60"},
      {"\x87\x9A\xFA\x5B\x81\xE6", u"∵∵∵", "every code of a character decodes"},
      {"\xED\x40\xEE\xEF", u"纊ⅰ", "NEC-selected IBM codes decode"},
      {"\xF0\x40\xF9\xFC", u"\uE000\uE757", "user-defined area"},
      // Not characters of the code page.
      {"\x80", u"\uFFFD", "0x80"},
      {"\xA0", u"\uFFFD", "0xA0"},
      {"\xFD\xFE\xFF", u"\uFFFD\uFFFD\uFFFD", "0xFD..0xFF"},
      {"\x82", u"\uFFFD", "lead byte at the end"},
      {"a\x82", u"a\uFFFD", "lead byte at the end after text"},
      // A broken pair: an ASCII second byte is read again, any other belongs to the pair.
      {"\x82\r\n", u"\uFFFD\r\n", "lead byte before a line end"},
      {"\x82\x39",
       u"\uFFFD"
       u"9",
       "second byte below the trail range"},
      {"\x82\x7F", u"\uFFFD\x7F", "0x7F is never a trail"},
      {"\x85\x40", u"\uFFFD@", "unassigned pair with an ASCII trail"},
      {"\xEB\x41",
       u"\uFFFD"
       u"A",
       "unassigned row"},
      {"\x85\x9F"
       "a",
       u"\uFFFD"
       u"a",
       "unassigned pair with a high trail"},
      {"\x82\xFD"
       "a",
       u"\uFFFD"
       u"a",
       "0xFD after a lead"},
      {"\x82\x82\xA0", u"ｂ\uFFFD", "a lead byte pairs with the next byte, even a lead"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(decode(c.bytes), c.text) << c.what << " (" << hex(c.bytes) << ")";
  }
}

TEST(Cp932Decode, StopsAtTheEndOfTheView) {
  const std::string buffer = "\x82\xA0";
  EXPECT_EQ(decode(std::string_view(buffer.data(), 1)), u"\uFFFD");
}

TEST(Cp932Decode, EveryTwoByteInputGivesOneOrTwoUnits) {
  // Whatever the bytes, a pair yields one character or two replacements/characters, never more.
  for (unsigned a = 0; a < 0x100; ++a) {
    for (unsigned b = 0; b < 0x100; ++b) {
      const std::string in = {static_cast<char>(a), static_cast<char>(b)};
      const std::u16string out = decode(in);
      ASSERT_GE(out.size(), 1u) << hex(in);
      ASSERT_LE(out.size(), 2u) << hex(in);
      if (out.size() == 2) {
        EXPECT_EQ(out[0], decode(in.substr(0, 1))[0]) << hex(in);
        EXPECT_EQ(out[1], decode(in.substr(1, 1))[0]) << hex(in);
      }
    }
  }
}

TEST(Cp932Tables, EveryEncodableUnitRoundTrips) {
  int mapped = 0;
  for (unsigned u = 0; u < 0x10000; ++u) {
    const auto unit = static_cast<char16_t>(u);
    const std::uint16_t code = encodeUnit(unit);
    if (code == 0 && unit != 0) continue;
    ++mapped;
    ASSERT_TRUE(decodesTo(code).has_value()) << "U+" << std::hex << u;
    if (isJisReading(unit)) continue;  // read back as the Windows character, checked above
    EXPECT_EQ(*decodesTo(code), unit) << "U+" << std::hex << u;
    EXPECT_EQ(encode(std::u16string_view(&unit, 1)), bytesOf(code)) << "U+" << std::hex << u;
  }
  EXPECT_GT(mapped, 7000);
}

TEST(Cp932Tables, EachCharacterIsWrittenWithItsPreferredCode) {
  int decoded = 0;
  forEachCandidateCode([&](std::uint16_t code) {
    const auto c = decodesTo(code);
    if (!c) return;
    ++decoded;
    const std::uint16_t written = encodeUnit(*c);
    ASSERT_TRUE(written != 0 || *c == 0) << std::hex << code << " decodes but its character has no code";
    EXPECT_NE(preference(written), 4) << std::hex << code << " is written as NEC-selected " << written;
    if (written != code) {
      EXPECT_LT(preference(written), preference(code)) << std::hex << code << " lost to " << written;
    }
  });
  EXPECT_GT(decoded, 9000);
}

TEST(Cp932Tables, UserDefinedAreaRunsInOrder) {
  char16_t expected = 0xE000;
  for (unsigned lead = 0xF0; lead <= 0xF9; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
      EXPECT_EQ(decodesTo(code), std::optional<char16_t>(expected)) << std::hex << code;
      EXPECT_EQ(encodeUnit(expected), code) << std::hex << code;
      ++expected;
    }
  }
  EXPECT_EQ(expected, 0xE758);
}

TEST(Cp932UnitWidth, CountsBytesAsWritten) {
  const std::vector<std::pair<char16_t, int>> cases = {
      {u'\0', 2},
      {u'a', 1},
      {u'\x7F', 1},
      {u'ｱ', 1},
      {u'ﾟ', 1},
      {u'あ', 2},
      {u'変', 2},
      {u'―', 2},
      {u'∵', 2},
      {u'\uE000', 2},
      {u'¥', 1},
      {u'\u301C', 2},
      {u'\u00A6', 1},
      {char16_t{0xD83D}, 1},
      {char16_t{0xDE00}, 1},
  };
  for (auto [unit, width] : cases) EXPECT_EQ(unitWidth(unit), width) << "U+" << std::hex << int(unit);
}

TEST(Cp932UnitWidth, MatchesTheBytesEncodingWrites) {
  for (unsigned u = 1; u < 0x10000; ++u) {
    const auto unit = static_cast<char16_t>(u);
    ASSERT_EQ(static_cast<std::size_t>(unitWidth(unit)), encode(std::u16string_view(&unit, 1)).size())
        << "U+" << std::hex << u;
  }
}

#ifdef ORVELLA_HAVE_ICONV

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // The whole input converted, or nothing when the converter refuses any of it.
  std::optional<std::string> operator()(std::string_view in) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string src(in);
    char out[16];
    char* ip = src.data();
    char* op = out;
    std::size_t il = src.size();
    std::size_t ol = sizeof out;
    if (iconv(cd_, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || il != 0) return std::nullopt;
    if (iconv(cd_, nullptr, nullptr, &op, &ol) == static_cast<std::size_t>(-1)) return std::nullopt;
    return std::string(out, op);
  }

 private:
  iconv_t cd_;
};

std::string utf16le(char16_t unit) { return {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)}; }

std::optional<char16_t> singleUnit(const std::optional<std::string>& utf16) {
  if (!utf16 || utf16->size() != 2) return std::nullopt;
  return static_cast<char16_t>(static_cast<unsigned char>((*utf16)[0]) |
                               static_cast<unsigned char>((*utf16)[1]) << 8);
}

TEST(Cp932Iconv, DecodingAgreesWithSystemIconv) {
  Iconv toUtf16("UTF-16LE", "CP932");
  if (!toUtf16.ok()) GTEST_SKIP() << "the system iconv has no CP932 converter";
  int compared = 0;
  forEachCandidateCode([&](std::uint16_t code) {
    ++compared;
    const std::optional<char16_t> ours = decodesTo(code);
    const std::optional<char16_t> theirs = singleUnit(toUtf16(bytesOf(code)));
    EXPECT_EQ(ours, theirs) << "code " << hex(bytesOf(code));
  });
  EXPECT_GT(compared, 11000);
}

// With the JIS readings, glibc's CP932 and ours write the same bytes for every character.
TEST(Cp932Iconv, EncodingAgreesWithSystemIconv) {
  Iconv fromUtf16("CP932", "UTF-16LE");
  if (!fromUtf16.ok()) GTEST_SKIP() << "the system iconv has no CP932 converter";
  int compared = 0;
  for (unsigned u = 0; u < 0x10000; ++u) {
    if (u >= 0xD800 && u <= 0xDFFF) continue;
    const auto unit = static_cast<char16_t>(u);
    const std::uint16_t code = encodeUnit(unit);
    const std::optional<std::string> ours =
        code != 0 || unit == 0 ? std::optional<std::string>(bytesOf(code)) : std::nullopt;
    const std::optional<std::string> theirs = fromUtf16(utf16le(unit));
    ++compared;
    EXPECT_EQ(ours, theirs) << "U+" << std::hex << u << ": ours " << (ours ? hex(*ours) : "none")
                            << ", iconv " << (theirs ? hex(*theirs) : "none");
  }
  EXPECT_GT(compared, 60000);
}

// Each cell of the notes' table holds the one character iconv reads there, none where iconv
// reads none or a base with its mark.
TEST(JisX0213Iconv, CellsAgreeWithSystemIconv) {
  Iconv toUtf32("UTF-32LE", "EUC-JISX0213");
  if (!toUtf32.ok()) GTEST_SKIP() << "the system iconv has no EUC-JISX0213 converter";
  int filled = 0;
  for (int plane = 1; plane <= jisx0213::kPlanes; ++plane) {
    for (int row = 1; row <= jisx0213::kSide; ++row) {
      for (int cell = 1; cell <= jisx0213::kSide; ++cell) {
        const std::string euc = (plane == 2 ? "\x8f" : "") + std::string{char(0xA0 + row), char(0xA0 + cell)};
        const std::optional<std::string> theirs = toUtf32(euc);
        char32_t expected = 0;
        if (theirs && theirs->size() == 4) std::memcpy(&expected, theirs->data(), 4);  // little-endian hosts
        EXPECT_EQ(jisx0213::character(plane, row, cell), expected) << plane << "-" << row << "-" << cell;
        filled += expected != 0;
      }
    }
  }
  EXPECT_GT(filled, 11000);
}

#else

TEST(JisX0213Iconv, CellsAgreeWithSystemIconv) { GTEST_SKIP() << "no iconv on this system"; }
TEST(Cp932Iconv, DecodingAgreesWithSystemIconv) { GTEST_SKIP() << "no iconv on this system"; }
TEST(Cp932Iconv, EncodingAgreesWithSystemIconv) { GTEST_SKIP() << "no iconv on this system"; }

#endif

}  // namespace
}  // namespace orvella::cp932
