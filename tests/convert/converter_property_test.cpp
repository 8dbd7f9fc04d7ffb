// Whatever bytes the input holds, the records carry its lines unchanged, in order, each record
// as full as the limit allows.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "convert/converter.hpp"
#include "core/length_b.hpp"
#include "recording_host.hpp"
#include "support/reference_lines.hpp"
#include "support/temp_dir.hpp"

namespace orvella {
namespace {

namespace fs = std::filesystem;
using testing::bodyLines;
using testing::readFile;
using testing::RecordingHost;
using testing::TempDir;
using testing::writeFile;

using testing::referenceLines;

// Mostly text-like bytes (valid and broken Shift_JIS, NUL, stray line ends), sometimes a long run.
std::string randomInput(std::mt19937& rng) {
  static const std::string kPieces[] = {
      "a", "Z", " ", "\x82\xa0", "\x8a\xbf", "\xb1", "\x81", "\xfc\xfc", "\xff", "\x80",
      std::string(1, '\0'), "\r", "\n", "\r\n", "\n\r", "\xa0", "\xef\x40"};
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

TEST(ConvertProperty, BodiesConcatenatedAreTheInputLines) {
  for (unsigned seed : {1u, 2u, 3u, 17u, 2024u, 77777u}) {
    std::mt19937 rng(seed);
    for (int round = 0; round < 8; ++round) {
      TempDir dir;
      fs::create_directory(dir / "out");
      const std::string input = randomInput(rng);
      writeFile(dir / "in.txt", input);
      const int limit = 90 + static_cast<int>(rng() % 700);

      RecordingHost host;
      host.folder = dir / "out";
      Message message;
      ConvertSettings settings;
      settings.input = dir / "in.txt";
      settings.maxLength = std::to_string(limit);
      settings.encoding = EncodingChoice::Cp932;  // bytes as they are, whatever they might read as
      const ConvertResult r = Convert(settings, message, host);
      ASSERT_EQ(r.status, ConvertStatus::Completed) << "seed " << seed << " round " << round;

      std::vector<std::vector<std::string>> records;
      for (int n = 0; n < r.nextNumber; ++n) {
        records.push_back(bodyLines(readFile(dir / "out" / fileNameFor(n))));
      }
      std::vector<std::string> all;
      for (const auto& rec : records) all.insert(all.end(), rec.begin(), rec.end());
      ASSERT_EQ(all, referenceLines(input)) << "seed " << seed << " round " << round;

      for (std::size_t i = 0; i < records.size(); ++i) {
        // Within the limit unless a lone line is too long by itself.
        if (records[i].size() > 1) {
          EXPECT_LE(counted(records[i]), limit) << "record " << i;
        }
        // Closed only because the next line would not fit.
        if (i + 1 < records.size()) {
          ASSERT_FALSE(records[i + 1].empty());
          auto withNext = records[i];
          withNext.push_back(records[i + 1].front());
          EXPECT_GT(counted(withNext), limit) << "record " << i;
        }
      }
    }
  }
}

}  // namespace
}  // namespace orvella
