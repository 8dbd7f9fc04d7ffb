// Inputs too big for every test run: a single 200 MB line and a file past 4 GB. Skipped unless
// ORVELLA_HEAVY_TESTS=1 (scripts/heavy-tests.sh sets it); each needs a few GB of free disk.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/texts.hpp"
#include "support/program.hpp"
#include "support/temp_dir.hpp"

namespace orvella {
namespace {

namespace fs = std::filesystem;
using testing::Outcome;
using testing::run;
using testing::TempDir;

bool heavyWanted() {
  const char* v = std::getenv("ORVELLA_HEAVY_TESTS");
  return v && std::string(v) == "1";
}

std::uintmax_t totalSize(const fs::path& dir, std::size_t* count) {
  std::uintmax_t total = 0;
  *count = 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    total += e.file_size();
    ++*count;
  }
  return total;
}

// Header and footer bytes of a record with Subject "h-NNN", Date kDate, the default From, no To.
constexpr char kDate[] = "Wed, 11 Feb 2004 05:15:55 +0900";
constexpr std::uintmax_t kRecordOverhead = 97 + 158 + (sizeof kDate - 1) + 18 + 5;
constexpr std::size_t kFooterBytes = 23;

TEST(HeavyInput, SingleLineOf200MegabytesArrivesWholeInItsOwnRecord) {
  if (!heavyWanted()) GTEST_SKIP() << "set ORVELLA_HEAVY_TESTS=1 (scripts/heavy-tests.sh)";
  TempDir dir;
  fs::create_directory(dir / "out");
  const auto makeLine = [] {
    std::string line(200u * 1024 * 1024, 'x');
    for (std::size_t i = 0; i + 1 < line.size(); i += 1000) {
      line[i] = '\x82';
      line[i + 1] = '\xa0';
    }
    return line;
  };
  std::string line = makeLine();
  testing::writeFile(dir / "in.txt", line);
  // The child starts as a copy of this process: the line must not count as its memory.
  std::string().swap(line);
  const Outcome o = run(dir.path(), {"-q", "--subject", "h", "--date", kDate, "-o", (dir / "out").string(),
                                     (dir / "in.txt").string()});
  ASSERT_EQ(o.code, 0) << o.err;
  line = makeLine();
  std::size_t files = 0;
  const std::uintmax_t total = totalSize(dir / "out", &files);
  // An empty first record (the line alone overflows the default limit), then the line.
  EXPECT_EQ(files, 2u);
  EXPECT_EQ(total, 2 * kRecordOverhead + line.size() + 2);
  const std::string record = testing::readFile(dir / "out" / "E1__0001.VMG");
  const std::size_t body = record.find("8bit\r\n\r\n") + 8;
  EXPECT_EQ(record.compare(body, line.size(), line), 0);
  EXPECT_EQ(record.size(), body + line.size() + 2 + kFooterBytes);
  std::printf("peak memory of orvella-convert: %ld MiB for a %zu MiB line\n", o.peakKiB / 1024,
              line.size() >> 20);
  EXPECT_LT(o.peakKiB, 64L * 1024);  // streamed: never the whole line in memory
}

TEST(HeavyInput, ALineThatNeverEndsStopsAtTheLargestRecordWithEarlierRecordsKept) {
  if (!heavyWanted()) GTEST_SKIP() << "set ORVELLA_HEAVY_TESTS=1 (scripts/heavy-tests.sh)";
  TempDir dir;
  fs::create_directory(dir / "out");
  const Outcome o =
      run(dir.path(), {"-q", "--subject", "h", "--date", kDate, "-o", (dir / "out").string(), "/dev/zero"});
  EXPECT_EQ(o.code, 1) << o.err;
  EXPECT_NE(o.err.find(orvella::texts::kRecordTooLarge), std::string::npos) << o.err;
  std::size_t files = 0;
  totalSize(dir / "out", &files);
  EXPECT_EQ(files, 1u);  // the empty first record; the endless line is never half written
  EXPECT_LT(o.peakKiB, 64L * 1024);
}

TEST(HeavyInput, FilePast4GigabytesIsConvertedWhole) {
  if (!heavyWanted()) GTEST_SKIP() << "set ORVELLA_HEAVY_TESTS=1 (scripts/heavy-tests.sh)";
  TempDir dir;
  fs::create_directory(dir / "out");
  // Sparse: NUL lines of 256 MiB, each ended by CR LF, 4.5 GiB in all; NULs count twice.
  const std::uintmax_t lineBytes = 256u << 20;
  const int lines = 18;
  const fs::path input = dir / "big.txt";
  const int fd = ::open(input.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0);
  for (int i = 0; i < lines; ++i) {
    const off_t end = static_cast<off_t>((lineBytes + 2) * static_cast<std::uintmax_t>(i + 1) - 2);
    ASSERT_EQ(::pwrite(fd, "\r\n", 2, end), 2);
  }
  ::close(fd);
  ASSERT_GT(fs::file_size(input), std::uintmax_t{1} << 32);

  const Outcome o = run(dir.path(), {"-q", "--subject", "h", "--date", kDate, "--max-bytes", "2147483647",
                                     "-o", (dir / "out").string(), input.string()});
  ASSERT_EQ(o.code, 0) << o.err;
  std::size_t files = 0;
  const std::uintmax_t total = totalSize(dir / "out", &files);
  // Each line counts 512 MiB + 2, so three fit under the limit: 18 lines make 6 records.
  EXPECT_EQ(files, 6u);
  EXPECT_EQ(total, files * kRecordOverhead + fs::file_size(input));
  std::printf("peak memory of orvella-convert: %ld MiB for %ju MiB in\n", o.peakKiB / 1024,
              fs::file_size(input) >> 20);
}

}  // namespace
}  // namespace orvella
