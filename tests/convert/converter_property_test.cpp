// Whatever bytes the input holds, the records carry its lines unchanged, in order, each record
// as full as the limit allows.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "convert/converter.hpp"
#include "convert/text_check.hpp"
#include "core/cp932.hpp"
#include "core/length_b.hpp"
#include "recording_host.hpp"
#include "support/reference_lines.hpp"
#include "support/temp_dir.hpp"

namespace orvella {
namespace {

namespace fs = std::filesystem;
using testing::RecordingHost;
using testing::TempDir;
using testing::writeFile;

using testing::referenceLines;

// Mostly text-like bytes (valid and broken Shift_JIS, NUL, stray line ends), sometimes a long run.
std::string randomInput(std::mt19937& rng) {
  static const std::string kPieces[] = {
      "a",        "Z",    " ",       "\x82\xa0",           "\x8a\xbf", "\xb1", "\x81",
      "\xfc\xfc", "\xff", "\x80",    std::string(1, '\0'), "\r",       "\n",   "\r\n",
      "\n\r",     "\xa0", "\xef\x40"};
  std::string out;
  const int pieces = static_cast<int>(rng() % 1500);
  for (int i = 0; i < pieces; ++i) {
    if (rng() % 200 == 0) {
      out.append(rng() % 600, static_cast<char>('A' + rng() % 26));
    } else {
      out += kPieces[rng() % std::size(kPieces)];
    }
  }
  return out;
}

std::int64_t counted(const std::vector<std::string>& lines) {
  std::int64_t count = 97;
  for (const auto& l : lines) count += rawLineLength(l) + 2;
  return count;
}

// Whether a character of the line starts at `at`: a lead byte takes the byte after it along.
bool startsCharacter(const std::string& line, std::size_t at) {
  std::size_t i = 0;
  for (; i < at; ++i) {
    const auto b = static_cast<unsigned char>(line[i]);
    if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) ++i;
  }
  return i == at;
}

// Every other round with --wrap, on text with long lines of prose: then no record passes the
// limit, and lines are broken only between characters.
TEST(ConvertProperty, BodiesJoinedAreTheInputLinesBrokenOnlyWhenWrapped) {
  for (unsigned seed : {1u, 2u, 3u, 17u, 2024u, 77777u}) {
    std::mt19937 rng(seed);
    for (int round = 0; round < 12; ++round) {
      SCOPED_TRACE("seed " + std::to_string(seed) + " round " + std::to_string(round));
      const bool wrap = round % 3 == 2;
      testing::ConversionFolder f(u"");
      std::string input = randomInput(rng);
      for (int i = wrap ? static_cast<int>(rng() % 300) : 0; i > 0; --i) {
        input.insert(rng() % (input.size() + 1), cp932::encode(u"吾輩は猫である。"));
      }
      writeFile(f.settings.input, input);
      f.settings.limit = (wrap ? 200 : 90) + static_cast<int>(rng() % 600);
      f.settings.encoding = EncodingChoice::Cp932;  // bytes as they are, whatever they might read as
      f.settings.reading.wrap = wrap;
      const ConvertResult r = Convert(f.settings, f.message, f.host);
      ASSERT_EQ(r.status, ConvertStatus::Completed);
      EXPECT_EQ(checkText(f.settings, f.host.dates.front(), 0).records, std::uint64_t(r.filesWritten));

      const auto records = f.bodies();
      const std::vector<std::string> in = referenceLines(input);
      std::size_t next = 0, from = 0;  // where in the input the next line written starts
      for (std::size_t i = 0; i < records.size(); ++i) {
        // Within the limit unless a lone line is too long by itself.
        if (wrap || records[i].size() > 1) {
          EXPECT_LE(counted(records[i]), f.settings.limit) << "record " << i;
        }
        // Closed only because the next line would not fit.
        if (i + 1 < records.size()) {
          ASSERT_FALSE(records[i + 1].empty());
          auto withNext = records[i];
          withNext.push_back(records[i + 1].front());
          EXPECT_GT(counted(withNext), f.settings.limit) << "record " << i;
        }
        for (const std::string& line : records[i]) {
          ASSERT_LT(next, in.size());
          ASSERT_EQ(in[next].substr(from, line.size()), line);
          from += line.size();
          if (from == in[next].size()) {
            ++next, from = 0;
          } else {
            ASSERT_TRUE(wrap && startsCharacter(in[next], from)) << "a line broken at " << from;
          }
        }
      }
      EXPECT_EQ(next, in.size());
    }
  }
}

// --check reads what a run would write: the same count of records for every kind of input.
struct CheckCase {
  const char* name;
  std::vector<std::string> texts;  // one file each, converted as one series
  int limit;
};

std::string utf16le(const std::string& ascii, const std::string& lineEnd) {
  std::string out = "\xFF\xFE";
  for (char c : ascii + lineEnd) out += std::string{c, '\0'};
  return out;
}

std::string lines(int count, std::size_t width, const std::string& lineEnd) {
  std::string out;
  for (int i = 0; i < count; ++i) out += std::string(width + static_cast<std::size_t>(i % 7), 'x') + lineEnd;
  return out;
}

TEST(CheckProperty, CountsTheRecordsARunWrites) {
  const std::string longLine(std::size_t{9} << 20, 'L');  // past what a run holds in memory
  const CheckCase cases[] = {
      {"CrLf", {lines(40, 30, "\r\n")}, 300},
      {"Lf", {lines(40, 30, "\n")}, 300},
      {"Cr", {lines(40, 30, "\r")}, 300},
      {"NoLastLineEnd", {lines(9, 20, "\n") + "tail"}, 150},
      {"Empty", {""}, 200},
      {"Utf8WithMark", {"\xEF\xBB\xBF" + lines(30, 10, "\n") + "\xE3\x81\x82\n"}, 200},
      {"Utf16", {utf16le(lines(20, 12, "\r\n"), "")}, 180},
      {"LinesLongerThanTheLimit", {lines(5, 400, "\r\n")}, 200},
      {"LongLineInPieces", {"a\n" + longLine + "\nb\n"}, 1000},
      {"SeveralTexts", {lines(12, 40, "\n"), "", lines(3, 300, "\r\n"), lines(7, 5, "\r")}, 250},
  };
  for (const CheckCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    fs::create_directory(dir / "out");
    std::vector<ConvertInput> inputs;
    for (std::size_t i = 0; i < c.texts.size(); ++i) {
      inputs.push_back({dir / ("in" + std::to_string(i) + ".txt"), std::nullopt});
      writeFile(inputs.back().path, c.texts[i]);
    }
    ConvertSettings settings;
    settings.limit = c.limit;
    RecordingHost host;
    host.folder = dir / "out";
    Message message;
    const ConvertResult run = Convert(settings, inputs, message, host);
    ASSERT_EQ(run.status, ConvertStatus::Completed);
    std::uint64_t checked = 0;
    for (const CheckResult& one : checkTexts(settings, inputs, host.dates.front(), 0)) checked += one.records;
    EXPECT_EQ(checked, static_cast<std::uint64_t>(run.filesWritten));
  }
}

}  // namespace
}  // namespace orvella
