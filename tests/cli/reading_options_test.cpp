// orvella-convert's options for what the reader sees: --aozora on a UTF-8 text, named by
// --check, and --date-step across the records of a run.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/cli_texts.hpp"
#include "core/utf.hpp"
#include "support/program.hpp"
#include "support/temp_dir.hpp"

namespace orvella {
namespace {

using testing::contains;
using testing::readFile;

struct Cli {
  testing::TempDir dir;
  std::string in = (dir / "in.txt").string();
  std::string out = (dir / "out").string();
  explicit Cli(const std::string& text) {
    std::filesystem::create_directory(out);
    testing::writeFile(in, text);
  }
  testing::Outcome operator()(std::vector<std::string> args) { return testing::run(dir.path(), args); }
  std::string record(int k) { return readFile(dir / "out" / ("E1__000" + std::to_string(k) + ".VMG")); }
};

TEST(OrvellaConvertAozora, UtfTextLosesItsNotationAndCheckNamesIt) {
  Cli run(utf16ToUtf8(u"宿《やど》［＃注］※［＃「てへん＋劣」、第3水準1-84-77］\r\n"));
  // The option's name: the Japanese around it may be '?' in a Windows console's code page.
  EXPECT_TRUE(contains(run({"--check", run.in}).out, "(--aozora strip "));
  ASSERT_EQ(run({"--aozora", "strip", "-o", run.out, run.in}).code, 0);
  EXPECT_TRUE(contains(run.record(0), "\r\n\x8f\x68\x81\xac\r\n"));  // 宿〓 in code page 932
  EXPECT_EQ(run({"--aozora", "drop", "--check", run.in}).code, 2);
}

TEST(OrvellaConvertDateStep, EachRecordIsDatedAStepAfterTheOneBefore) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "a line of about forty bytes, number " + std::to_string(i) + "\r\n";
  Cli run(text);
  const char* dates[] = {"Sun, 31 Dec 2023 23:59:30 +0900", "Sun, 31 Dec 2023 23:59:50 +0900",
                         "Mon, 01 Jan 2024 00:00:10 +0900"};
  const auto o = run({"--date", dates[0], "--date-step", "20", "--max-bytes", "600", "-o", run.out, run.in});
  ASSERT_EQ(o.code, 0);
  for (int k = 0; k < 3; ++k) EXPECT_TRUE(contains(run.record(k), "Date: " + std::string(dates[k]))) << k;
}

// --check names the lines too long for a record of their own, which --wrap breaks; a pattern
// that is no regular expression is refused before anything is read.
TEST(OrvellaConvertCheck, LongLinesAreNamedUnlessWrappedAndABadHeadingIsRefused) {
  Cli run("short\r\n" + std::string(300, 'x') + "\r\nshort\r\n");
  const struct {
    std::vector<std::string> options;
    int code;
    bool named;
  } rows[] = {
      {{}, 1, true},
      {{"--wrap"}, 0, false},
      {{"--heading", "^(unclosed"}, 2, false},
  };
  for (const auto& row : rows) {
    std::vector<std::string> args = row.options;
    args.insert(args.end(), {"--max-bytes", "200", "--check", run.in});
    const testing::Outcome o = run(args);
    EXPECT_EQ(o.code, row.code) << o.out << o.err;
    EXPECT_EQ(contains(o.out, std::string(cli_texts::kCheckLongLines) + "1"), row.named) << o.out;
    EXPECT_EQ(contains(o.out, "  2" + std::string(cli_texts::kCheckLongLineSuffix)), row.named) << o.out;
  }
}

}  // namespace
}  // namespace orvella
