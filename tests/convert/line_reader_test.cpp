#include "convert/line_reader.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "convert/reasons.hpp"
#include "support/reference_lines.hpp"
#include "support/temp_dir.hpp"

namespace orvella {
namespace {

using testing::TempDir;
using testing::writeFile;

std::vector<std::string> readAll(const std::filesystem::path& file, std::size_t block,
                                 std::uint64_t* consumed = nullptr) {
  LineReader reader(file, block);
  EXPECT_FALSE(reader.failure()) << failureText(*reader.failure());
  std::vector<std::string> lines;
  std::string line;
  while (reader.next(line)) {
    // A line said to be free of NUL must be; the measure skips its search then.
    if (!reader.lineMayHoldNul()) {
      EXPECT_EQ(line.find('\0'), std::string::npos);
    }
    lines.push_back(line);
  }
  EXPECT_FALSE(reader.failure()) << failureText(*reader.failure());
  if (consumed) *consumed = reader.bytesRead();
  return lines;
}

using testing::referenceLines;

struct LineCase {
  const char* name;
  std::string input;
  std::vector<std::string> lines;
  friend void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }
};

class LineRules : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineRules, SplitsTheSameWhateverTheBlockSize) {
  const LineCase& c = GetParam();
  TempDir dir;
  writeFile(dir / "in.txt", c.input);
  for (std::size_t block : {1u, 2u, 3u, 5u, 64u * 1024u}) {
    std::uint64_t consumed = 0;
    EXPECT_EQ(readAll(dir / "in.txt", block, &consumed), c.lines) << "block " << block;
    EXPECT_EQ(consumed, c.input.size()) << "block " << block;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, LineRules,
                         ::testing::Values(LineCase{"Empty", "", {}},
                                           LineCase{"CrLfEnds", "a\r\nb\r\n", {"a", "b"}},
                                           LineCase{"CrEnds", "a\rb\r", {"a", "b"}},
                                           LineCase{"UnterminatedLast", "a\r\nb", {"a", "b"}},
                                           LineCase{"LoneLfEndsLine", "a\nb\nc", {"a", "b", "c"}},
                                           LineCase{"LfAfterCrLfIsAnEmptyLine", "a\r\n\nb", {"a", "", "b"}},
                                           LineCase{"LfOnlyEndsLikeCrLf", "a\nb\n\nc\n", {"a", "b", "", "c"}},
                                           LineCase{"TwoEndsGiveEmptyLine", "a\r\n\r\nb\r\n", {"a", "", "b"}},
                                           LineCase{"CrCrGivesEmptyLine", "a\r\rb", {"a", "", "b"}},
                                           LineCase{"OnlyALineEnd", "\r\n", {""}},
                                           LineCase{"LfCrIsTwoEnds", "\n\r", {"", ""}},
                                           LineCase{"NulAndHighBytesPass",
                                                    std::string("\0\x81\xff\r\n\x82", 6),
                                                    {std::string("\0\x81\xff", 3), "\x82"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LineReader, MatchesTheByteRulesOnRandomInput) {
  TempDir dir;
  std::mt19937 rng(12345);
  const char alphabet[] = {'\r', '\n', 'a', '\0', '\x81', '\xfc'};
  for (int round = 0; round < 200; ++round) {
    std::string input(rng() % 60, ' ');
    for (char& ch : input) ch = alphabet[rng() % sizeof alphabet];
    writeFile(dir / "in.txt", input);
    const std::size_t block = 1 + rng() % 8;
    ASSERT_EQ(readAll(dir / "in.txt", block), referenceLines(input))
        << "round " << round << " block " << block;
  }
}

TEST(LineReader, LongLineSpanningManyBlocksArrivesWhole) {
  TempDir dir;
  const std::string longLine(100000, 'x');
  writeFile(dir / "in.txt", longLine + "\r\nz");
  EXPECT_EQ(readAll(dir / "in.txt", 4096), (std::vector<std::string>{longLine, "z"}));
}

TEST(LineReader, MissingFileAndFolderAreErrorsAtOpen) {
  TempDir dir;
  const std::pair<std::filesystem::path, platform::ErrorKind> cases[] = {
      {dir / "missing.txt", platform::ErrorKind::NotFound}, {dir.path(), platform::ErrorKind::IsFolder}};
  for (const auto& [path, kind] : cases) {
    LineReader reader(path);
    ASSERT_TRUE(reader.failure()) << path;
    EXPECT_EQ(reader.failure()->system->kind, kind) << path;
    std::string line = "left over";
    EXPECT_FALSE(reader.next(line));
    EXPECT_TRUE(line.empty());
  }
}

// Long lines come in pieces that join up to the lines next() gives, each line's last piece
// marked as its end, and no piece far past the piece size.
TEST(LineReaderPieces, JoinUpToTheLines) {
  TempDir dir;
  const std::size_t piece = LineReader::kPieceSize;
  const std::string input = "short\r\n" + std::string(3 * piece + 17, 'x') + "\r\n\r" +
                            std::string(piece, 'y') + "\r\nz" + std::string(2 * piece, 'w');
  writeFile(dir / "in.txt", input);
  for (std::size_t block : {std::size_t{1000}, LineReader::kBlockSize, std::size_t{3} << 20}) {
    LineReader reader(dir / "in.txt", block);
    std::vector<std::string> lines;
    std::string line;
    std::string_view got;
    while (reader.nextPiece(got)) {
      EXPECT_LE(got.size(), piece + block) << block;
      line.append(got);
      if (reader.pieceEndsLine()) {
        lines.push_back(line);
        line.clear();
      }
    }
    EXPECT_FALSE(reader.failure()) << failureText(*reader.failure());
    if (!line.empty()) lines.push_back(line);  // the input ended inside a line
    EXPECT_EQ(lines, readAll(dir / "in.txt", block)) << block;
    EXPECT_EQ(reader.bytesRead(), input.size()) << block;
  }
}

}  // namespace
}  // namespace orvella
