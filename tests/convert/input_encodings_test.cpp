// The same text in any encoding it may come in gives the same records; what is told about the
// input (encoding, line ends, '?' with their lines, structure-like lines) is right.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "convert/converter.hpp"
#include "convert/line_reader.hpp"
#include "core/cp932.hpp"
#include "core/utf.hpp"
#include "recording_host.hpp"
#include "support/temp_dir.hpp"

namespace orvella {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using testing::readFile;
using testing::RecordingHost;
using testing::TempDir;
using testing::writeFile;

// Every character a code page 932 code decodes to, so every one has a code.
const std::u16string& representable() {
  static const std::u16string chars = [] {
    std::u16string out;
    for (unsigned b = 0x20; b < 0x7F; ++b) out += static_cast<char16_t>(b);
    for (unsigned b = 0xA1; b < 0xE0; ++b) out += cp932::decode(std::string(1, static_cast<char>(b)));
    for (unsigned lead : {0x81u, 0x82u, 0x83u, 0x88u, 0x89u, 0x95u, 0x98u, 0xE0u, 0xEAu, 0x87u, 0xFAu}) {
      for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
        const std::u16string c =
            cp932::decode(std::string{static_cast<char>(lead), static_cast<char>(trail)});
        if (c.size() == 1 && c[0] != u'\uFFFD') out += c;
      }
    }
    return out;
  }();
  return chars;
}

// Lines of random characters that all have a code, each ending with `end`.
std::u16string randomText(std::mt19937& rng, std::u16string_view end) {
  const std::u16string& chars = representable();
  std::u16string text = u"あ";  // some double-byte character, so no form of it is plain ASCII
  for (int lines = static_cast<int>(rng() % 60); lines > 0; --lines) {
    for (int n = static_cast<int>(rng() % 80); n > 0; --n) text += chars[rng() % chars.size()];
    if (rng() % 50 == 0) text += u'\0';
    text += end;
  }
  if (rng() % 2) text += u"last line without an end";
  return text;
}

std::string utf16(std::u16string_view text, bool big) {
  std::string out = big ? "\xfe\xff" : "\xff\xfe";
  for (char16_t u : text) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += big ? std::string{hi, lo} : std::string{lo, hi};
  }
  return out;
}

// The records one input gives, in order, with a fixed Date.
std::vector<std::string> recordsOf(const std::string& bytes, int limit,
                                   EncodingChoice choice = EncodingChoice::Auto) {
  TempDir dir;
  fs::create_directory(dir / "out");
  writeFile(dir / "in.txt", bytes);
  RecordingHost host;
  host.folder = dir / "out";
  Message message;
  ConvertSettings settings;
  settings.input = dir / "in.txt";
  settings.limit = limit;
  settings.header.subject = u"件名〜";
  settings.encoding = choice;
  const ConvertResult r = Convert(settings, message, host);
  EXPECT_EQ(r.status, ConvertStatus::Completed);
  std::vector<std::string> records;
  for (int n = 0; n < r.nextNumber; ++n) records.push_back(readFile(dir / "out" / fileNameFor(n)));
  return records;
}

TEST(InputEncodings, EveryFormOfATextGivesTheRecordsOfItsCodePage932Form) {
  std::mt19937 rng(932);
  for (int round = 0; round < 12; ++round) {
    const std::u16string text = randomText(rng, u"\r\n");
    const int limit = 150 + static_cast<int>(rng() % 900);
    const std::vector<std::string> expected = recordsOf(cp932::encode(text), limit);
    ASSERT_GE(expected.size(), 1u);
    const std::string utf8 = utf16ToUtf8(text);
    const std::vector<std::pair<const char*, std::string>> forms = {
        {"UTF-8", utf8},
        {"UTF-8 with a mark", "\xef\xbb\xbf" + utf8},
        {"UTF-16LE", utf16(text, false)},
        {"UTF-16BE", utf16(text, true)},
    };
    for (const auto& [name, bytes] : forms) {
      EXPECT_EQ(recordsOf(bytes, limit), expected) << name << ", round " << round;
    }
  }
}

TEST(InputEncodings, LfOnlyTextGivesTheRecordsOfItsCrLfTwin) {
  std::mt19937 rng(10);
  for (int round = 0; round < 8; ++round) {
    const std::u16string crlf = randomText(rng, u"\r\n");
    std::u16string lf;
    for (std::size_t i = 0; i < crlf.size(); ++i) {
      if (crlf[i] == u'\r') continue;
      lf += crlf[i];
    }
    const int limit = 150 + static_cast<int>(rng() % 900);
    EXPECT_EQ(recordsOf(cp932::encode(lf), limit), recordsOf(cp932::encode(crlf), limit)) << round;
    EXPECT_EQ(recordsOf(utf16ToUtf8(lf), limit), recordsOf(cp932::encode(crlf), limit)) << round;
  }
}

// A long LF-only text is many full records, not one huge line after
// an empty record.
TEST(InputEncodings, LongLfOnlyTextIsSplitByTheLimit) {
  std::string text;
  for (int i = 0; i < 4000; ++i) text += "line " + std::to_string(i) + " \x82\xa0\x82\xa2\n";
  const auto records = recordsOf(text, 10000);
  ASSERT_GT(records.size(), 5u);
  for (const auto& r : records) EXPECT_LT(r.size(), 10000u + 400u);
  EXPECT_NE(records[0].find("\r\n\r\nline 0 \x82\xa0\x82\xa2\r\nline 1 "), std::string::npos);
}

TEST(InputEncodings, ChoosingCodePage932KeepsUtf8BytesRaw) {
  const std::string utf8 = "\xe3\x81\x82\r\n";  // あ
  const auto raw = recordsOf(utf8, 10000, EncodingChoice::Cp932);
  const auto decoded = recordsOf(utf8, 10000);
  EXPECT_NE(raw[0].find("\r\n\r\n\xe3\x81\x82\r\n"), std::string::npos);
  EXPECT_NE(decoded[0].find("\r\n\r\n\x82\xa0\r\n"), std::string::npos);
}

std::vector<std::uint64_t> sampleLines(const fs::path& file, std::size_t block) {
  LineReader reader(file, block);
  std::string line;
  while (reader.next(line)) {
  }
  std::vector<std::uint64_t> lines;
  for (const auto& s : reader.substitutions().samples) lines.push_back(s.line);
  return lines;
}

TEST(InputEncodings, QuestionMarksAreToldWithTheirLineNumbers) {
  TempDir dir;
  // Lines 1..6 with CR LF, CR and LF ends; '?' on lines 2 (twice), 4 and 6.
  writeFile(dir / "in.txt",
            "\xef\xbb\xbf"
            "one\r\n\xf0\x9f\x98\x80 two \xff\rthree\n\xc2\xa6\r\n\nsix \xe3\x81");
  for (std::size_t block : {1u, 2u, 3u, 7u, 64u * 1024u}) {
    EXPECT_EQ(sampleLines(dir / "in.txt", block), (std::vector<std::uint64_t>{2, 2, 4, 6})) << block;
  }
  LineReader reader(dir / "in.txt");
  std::string line;
  while (reader.next(line)) {
  }
  EXPECT_EQ(reader.detection().encoding, TextEncoding::Utf8);
  EXPECT_EQ(reader.lineNumber(), 6u);
  EXPECT_EQ(reader.lineEnds().crLf, 2u);
  EXPECT_EQ(reader.lineEnds().cr, 1u);
  EXPECT_EQ(reader.lineEnds().lf, 2u);
  EXPECT_EQ(reader.substitutions().unmapped, 2u);
  EXPECT_EQ(reader.substitutions().invalid, 2u);
}

// Detection looks at the head only: a bad byte past it leaves the text UTF-8, and that byte
// becomes one counted '?' on its line.
TEST(InputEncodings, BadByteLateInAUtf8FileIsOneQuestionMark) {
  TempDir dir;
  std::string text;
  int lines = 0;
  while (text.size() < kDetectionBytes + 1000) {
    text += "\xe5\xa4\x89\xe6\x8f\x9b line " + std::to_string(lines++) + "\n";  // 変換
  }
  text += "bad \xff byte\nlast\n";
  writeFile(dir / "in.txt", text);
  LineReader reader(dir / "in.txt");
  std::string line, bad;
  while (reader.next(line)) {
    if (reader.lineNumber() == static_cast<std::uint64_t>(lines) + 1) bad = line;
  }
  EXPECT_EQ(reader.detection().encoding, TextEncoding::Utf8);
  EXPECT_EQ(bad, "bad ? byte");
  EXPECT_EQ(reader.substitutions().invalid, 1u);
  ASSERT_EQ(reader.substitutions().samples.size(), 1u);
  EXPECT_EQ(reader.substitutions().samples[0].line, static_cast<std::uint64_t>(lines) + 1);
  EXPECT_EQ(reader.bytesRead(), text.size());
}

TEST(InputEncodings, LineEndsAreCountedByKindWhateverTheBlocks) {
  TempDir dir;
  // a CR LF, b CR, c LF, d CR LF, two empty lines ended by CR, e LF.
  writeFile(dir / "in.txt", "a\r\nb\rc\nd\r\n\r\re\n");
  for (std::size_t block : {1u, 2u, 3u, 64u * 1024u}) {
    LineReader reader(dir / "in.txt", block);
    std::string line;
    while (reader.next(line)) {
    }
    EXPECT_EQ(reader.lineEnds().crLf, 2u) << block;
    EXPECT_EQ(reader.lineEnds().cr, 3u) << block;
    EXPECT_EQ(reader.lineEnds().lf, 2u) << block;
    EXPECT_EQ(reader.lineNumber(), 7u) << block;
  }
}

TEST(InputEncodings, ARunReportsEncodingQuestionMarksAndStructureLines) {
  testing::ConversionFolder f(u"s");
  writeFile(f.settings.input,
            "\xef\xbb\xbf"
            "BEGIN:VCARD\nbody\xf0\x9f\x98\x80\nend:vbody\nENDING\n");
  const std::vector<InputReport> seen = [&] {
    struct Host : RecordingHost {
      std::vector<InputReport> reports;
      void InputRead(const InputReport& r) override { reports.push_back(r); }
    } host;
    host.folder = f.out;
    const ConvertResult r = Convert(f.settings, f.message, host);
    EXPECT_EQ(r.status, ConvertStatus::Completed);
    EXPECT_EQ(r.inputs.size(), 1u);
    // Told before the completion message, which is the last thing said.
    EXPECT_EQ(host.messages.size(), 1u);
    return host.reports;
  }();
  ASSERT_EQ(seen.size(), 1u);
  const InputReport& report = seen[0];
  EXPECT_EQ(report.detection.encoding, TextEncoding::Utf8);
  EXPECT_EQ(report.detection.markBytes, 3u);
  EXPECT_EQ(report.lines, 4u);
  EXPECT_EQ(report.substitutions.unmapped, 1u);
  ASSERT_EQ(report.substitutions.samples.size(), 1u);
  EXPECT_EQ(report.substitutions.samples[0].line, 2u);
  EXPECT_EQ(report.structure.count(), 2u);
  ASSERT_EQ(report.structure.samples().size(), 2u);
  EXPECT_EQ(report.structure.samples()[0].line, 1u);
  EXPECT_EQ(report.structure.samples()[1].line, 3u);
  EXPECT_EQ(report.structure.samples()[1].text, "end:vbody");
  EXPECT_TRUE(report.hasWarnings());
  // The bytes are the user's: the lines are written as they are.
  EXPECT_EQ(f.allLines(), (std::vector<std::string>{"BEGIN:VCARD", "body?", "end:vbody", "ENDING"}));
}

// '?' in ruby the notation filter drops are not told; one that stays is, with its line, though
// more were dropped before it than the examples shown.
TEST(InputEncodings, QuestionMarksInDroppedRubyAreNotTold) {
  const std::string face = "\xf0\x9f\x98\x80";    // U+1F600, which code page 932 lacks
  std::string text = "\xe7\x8c\xab\xe3\x80\x8a";  // 猫《
  for (int i = 0; i < 6; ++i) text += face;
  text += "\xe3\x80\x8b\nkept" + face + "\n";  // 》
  testing::ConversionFolder f(u"s");
  writeFile(f.settings.input, text);
  f.settings.reading.aozora = AozoraMode::Strip;
  RecordingHost host;
  host.folder = f.out;
  const ConvertResult r = Convert(f.settings, f.message, host);
  ASSERT_EQ(r.inputs.size(), 1u);
  const SubstitutionReport& told = r.inputs[0].substitutions;
  EXPECT_EQ(told.unmapped, 1u);
  ASSERT_EQ(told.samples.size(), 1u);
  EXPECT_EQ(told.samples[0].line, 2u);
  EXPECT_EQ(f.allLines(), (std::vector<std::string>{"\x94\x4c", "kept?"}));
}

}  // namespace
}  // namespace orvella
