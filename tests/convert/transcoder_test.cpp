// UTF-8 and UTF-16 turned into code page 932 bytes: what is written, what becomes '?', and that
// block boundaries change nothing.
#include "convert/transcoder.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace orvella {
namespace {

using namespace std::string_literals;

struct Output {
  std::string bytes;
  SubstitutionReport report;
};

// The input fed in blocks of the given sizes, cycled; 0 feeds it whole.
Output transcode(TextEncoding from, std::string_view in, std::vector<std::size_t> blocks = {0}) {
  Transcoder t(from);
  Output o;
  std::size_t at = 0;
  for (std::size_t i = 0; at < in.size(); ++i) {
    const std::size_t block = blocks[i % blocks.size()];
    const std::size_t n = block == 0 ? in.size() - at : std::min(block, in.size() - at);
    t.feed(in.substr(at, n), o.bytes);
    at += n;
  }
  t.finish(o.bytes);
  o.report = t.report();
  return o;
}

struct Case {
  const char* name;
  TextEncoding from;
  std::string in;
  std::string out;
  std::uint64_t unmapped;
  std::uint64_t invalid;
};

const TextEncoding U8 = TextEncoding::Utf8;
const TextEncoding LE = TextEncoding::Utf16Le;
const TextEncoding BE = TextEncoding::Utf16Be;

const std::vector<Case> kCases = {
    {"kanji, half-width katakana, line end", U8, "変換ｱ\r\n", "\x95\xcf\x8a\xb7\xb1\r\n", 0, 0},
    {"ASCII runs longer than a word", U8, "The quick brown fox.\n", "The quick brown fox.\n", 0, 0},
    {"NUL is a byte", U8, "a\0b"s, "a\0b"s, 0, 0},
    {"wave dash, JIS reading", U8, "\xe3\x80\x9c", "\x81\x60", 0, 0},
    {"full-width tilde", U8, "\xef\xbd\x9e", "\x81\x60", 0, 0},
    {"yen sign, JIS-Roman reading", U8, "\xc2\xa5", "\x5c", 0, 0},
    {"emoji has no code", U8,
     "a\xf0\x9f\x98\x80"
     "b",
     "a?b", 1, 0},
    {"broken bar has no code", U8, "\xc2\xa6", "?", 1, 0},
    {"stray byte", U8,
     "a\xff"
     "b",
     "a?b", 0, 1},
    {"stray continuation bytes, one each", U8, "\x80\x80", "??", 0, 2},
    {"cut sequence keeps the ASCII after it", U8,
     "\xe3\x81"
     "A",
     "?A", 0, 1},
    {"cut sequence never swallows a line end", U8, "\xe3\x81\r\n", "?\r\n", 0, 1},
    {"cut sequence at the end of the input", U8, "ab\xe3\x81", "ab?", 0, 1},
    {"overlong form, one per byte", U8, "\xc0\xaf", "??", 0, 2},
    {"encoded surrogate", U8, "\xed\xa0\x80", "???", 0, 3},
    {"past U+10FFFF", U8, "\xf4\x90\x80\x80", "????", 0, 4},
    {"UTF-16LE kanji and line end", LE, "\x09\x59\x0d\x00\x0a\x00"s, "\x95\xcf\r\n", 0, 0},
    {"UTF-16BE kanji and line end", BE, "\x59\x09\x00\x0d\x00\x0a"s, "\x95\xcf\r\n", 0, 0},
    {"UTF-16LE NUL", LE, "\x00\x00"s, "\0"s, 0, 0},
    {"UTF-16 surrogate pair has no code", LE, "\x3d\xd8\x00\xde"s, "?", 1, 0},
    {"UTF-16 lone low surrogate", LE,
     "\x00\xdc"
     "a\x00"s,
     "?a", 0, 1},
    {"UTF-16 high surrogate before a letter", BE,
     "\xd8\x3d\x00"
     "a"s,
     "?a", 0, 1},
    {"UTF-16 high surrogate at the end", LE, "a\x00\x3d\xd8"s, "a?", 0, 1},
    {"UTF-16 odd byte at the end", LE,
     "a\x00"
     "b"s,
     "a?", 0, 1},
};

TEST(Transcoder, WritesCodePage932AndCountsWhatBecomesQuestionMarks) {
  for (const auto& c : kCases) {
    for (const auto& blocks : std::vector<std::vector<std::size_t>>{{0}, {1}, {2, 3}, {5, 1}}) {
      const Output o = transcode(c.from, c.in, blocks);
      EXPECT_EQ(o.bytes, c.out) << c.name << ", blocks of " << blocks[0];
      EXPECT_EQ(o.report.unmapped, c.unmapped) << c.name;
      EXPECT_EQ(o.report.invalid, c.invalid) << c.name;
    }
  }
}

TEST(Transcoder, SamplesTheFirstFewWithWhatTheyWere) {
  std::string in;
  for (int i = 0; i < 3; ++i) in += "x\xf0\x9f\x98\x80";  // U+1F600, offsets 1, 3, 5
  in += "\xfe";                                           // offset 6
  for (int i = 0; i < 4; ++i) in += "\xc2\xa6";           // U+00A6
  const Output o = transcode(U8, in, {3});
  EXPECT_EQ(o.report.unmapped, 7u);
  EXPECT_EQ(o.report.invalid, 1u);
  ASSERT_EQ(o.report.samples.size(), SubstitutionReport::kSamples);
  EXPECT_EQ(o.report.samples[0].character, U'\U0001F600');
  EXPECT_EQ(o.report.samples[0].offset, 1u);
  EXPECT_EQ(o.report.samples[2].offset, 5u);
  EXPECT_TRUE(o.report.samples[3].invalid);
  EXPECT_EQ(o.report.samples[3].bytes, "\xfe");
  EXPECT_EQ(o.report.samples[3].offset, 6u);
  EXPECT_EQ(o.report.samples[4].character, U'\u00A6');
  for (const auto& s : o.report.samples) EXPECT_EQ(o.bytes[s.offset], '?');
}

// Random mixtures of valid and broken pieces, fed in random blocks: the same as fed whole.
TEST(Transcoder, BlockBoundariesChangeNothing) {
  const std::vector<std::string> utf8Pieces = {"a",
                                               " ",
                                               "\r\n",
                                               "\n",
                                               "変",
                                               "ｱ",
                                               "\xe3\x80\x9c",
                                               "\xf0\x9f\x98\x80",
                                               "\xff",
                                               "\xe3\x81",
                                               "\xc2",
                                               "\x80",
                                               "abcdefghijk",
                                               "\xed\xa0\x80",
                                               std::string(1, '\0')};
  const std::vector<std::string> utf16Pieces = {"a\0"s,  "\x09\x59"s, "\x3d\xd8"s, "\x00\xde"s,
                                                "\r\0"s, "\n\0"s,     "\xa6\x00"s, "x"};
  std::mt19937 rng(8);
  for (int round = 0; round < 300; ++round) {
    const bool utf16 = round % 2 == 1;
    const auto& pieces = utf16 ? utf16Pieces : utf8Pieces;
    std::string in;
    for (int i = static_cast<int>(rng() % 40); i > 0; --i) in += pieces[rng() % pieces.size()];
    const TextEncoding from = utf16 ? (round % 4 == 1 ? LE : BE) : U8;
    const Output whole = transcode(from, in);
    const Output split = transcode(from, in, {1 + rng() % 7, 1 + rng() % 3});
    ASSERT_EQ(split.bytes, whole.bytes) << "round " << round;
    ASSERT_EQ(split.report.unmapped, whole.report.unmapped) << "round " << round;
    ASSERT_EQ(split.report.invalid, whole.report.invalid) << "round " << round;
    ASSERT_LE(whole.bytes.size(), in.size() + Transcoder::kSlack);
  }
}

}  // namespace
}  // namespace orvella
