// orvella-convert's options for what the reader sees: --aozora on a UTF-8 text, named by
// --check, and --date-step across the records of a run.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_texts.hpp"
#include "support/program.hpp"
#include "support/temp_dir.hpp"

namespace orvella {
namespace {

namespace fs = std::filesystem;
using testing::contains;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

// 宿《やど》［＃注］※［＃「てへん＋劣」、第3水準1-84-77］ in UTF-8.
const std::string kAozoraLine =
    "\xe5\xae\xbf\xe3\x80\x8a\xe3\x82\x84\xe3\x81\xa9\xe3\x80\x8b\xef\xbc\xbb\xef\xbc\x83\xe6\xb3\xa8\xef\xbc\xbd"
    "\xe2\x80\xbb\xef\xbc\xbb\xef\xbc\x83\xe3\x80\x8c\xe3\x81\xa6\xe3\x81\xb8\xe3\x82\x93\xef\xbc\x8b\xe5\x8a\xa3"
    "\xe3\x80\x8d\xe3\x80\x81\xe7\xac\xac\x33\xe6\xb0\xb4\xe6\xba\x96\x31\x2d\x38\x34\x2d\x37\x37\xef\xbc\xbd\r\n";

TEST(OrvellaConvertAozora, UtfTextLosesItsNotationAndCheckNamesIt) {
  TempDir dir;
  fs::create_directory(dir / "out");
  writeFile(dir / "in.txt", kAozoraLine);
  const auto check = testing::run(dir.path(), {"--check", (dir / "in.txt").string()});
  EXPECT_TRUE(contains(check.out, cli_texts::kCheckAozora)) << check.out;
  const auto run = testing::run(dir.path(), {"--aozora", "strip", "-o", (dir / "out").string(), (dir / "in.txt").string()});
  ASSERT_EQ(run.code, 0) << run.err;
  // 宿〓 in code page 932, alone on its line.
  EXPECT_TRUE(contains(readFile(dir / "out" / "E1__0000.VMG"), "\r\n\x8f\x68\x81\xac\r\n")) << run.err;
  EXPECT_EQ(testing::run(dir.path(), {"--aozora", "drop", "--check", (dir / "in.txt").string()}).code, 2);
}

TEST(OrvellaConvertDateStep, EachRecordIsDatedAStepAfterTheOneBefore) {
  TempDir dir;
  fs::create_directory(dir / "out");
  std::string text;
  for (int i = 0; i < 40; ++i) text += "a line of about forty bytes, number " + std::to_string(i) + "\r\n";
  writeFile(dir / "in.txt", text);
  const auto run = testing::run(dir.path(), {"--date", "Sun, 31 Dec 2023 23:59:30 +0900", "--date-step", "20", "--max-bytes",
                                             "600", "-o", (dir / "out").string(), (dir / "in.txt").string()});
  ASSERT_EQ(run.code, 0) << run.err;
  const char* dates[] = {"Sun, 31 Dec 2023 23:59:30 +0900", "Sun, 31 Dec 2023 23:59:50 +0900",
                         "Mon, 01 Jan 2024 00:00:10 +0900"};
  for (int k = 0; k < 3; ++k) {
    const std::string record = readFile(dir / "out" / ("E1__000" + std::to_string(k) + ".VMG"));
    EXPECT_TRUE(contains(record, std::string("Date: ") + dates[k] + "\r\n")) << k;
  }
  EXPECT_EQ(testing::run(dir.path(), {"--date-step", "-1", "--check", (dir / "in.txt").string()}).code, 2);
}

}  // namespace
}  // namespace orvella
