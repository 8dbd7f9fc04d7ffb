// orvella-convert run as a program: exit codes, messages, and what lands in the folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_texts.hpp"
#include "convert/defaults.hpp"
#include "convert/texts.hpp"
#include "core/version.hpp"
#include "support/program.hpp"
#include "support/temp_dir.hpp"

namespace orvella {
namespace {

namespace fs = std::filesystem;
using testing::contains;
using testing::filesIn;
using testing::Outcome;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

// A folder with an input of three records at --max-bytes 200 and an empty output folder.
struct Cli {
  TempDir dir;
  fs::path input = dir / "novel.part1.txt";
  fs::path out = dir / "out";
  Cli() {
    fs::create_directory(out);
    const std::string line(50, 'x');
    writeFile(input, line + "\r\n" + line + "\r\n" + line + "\r\n");
  }
  Outcome run(const std::vector<std::string>& args) { return testing::run(dir.path(), args); }
  std::string file(const char* name) { return readFile(out / name); }
};

TEST(OrvellaConvert, ConvertsAndSummarises) {
  Cli c;
  const Outcome o = c.run({"-o", c.out.string(), "--max-bytes", "200", c.input.string()});
  EXPECT_EQ(o.code, 0) << o.err;
  EXPECT_EQ(filesIn(c.out), (std::vector<std::string>{"E1__0000.VMG", "E1__0001.VMG", "E1__0002.VMG"}));
  EXPECT_TRUE(contains(o.err, texts::kCompleted)) << o.err;
  EXPECT_TRUE(contains(o.err, "E1__0000.VMG")) << o.err;
  EXPECT_TRUE(contains(o.err, "E1__0002.VMG")) << o.err;
  // The summary and the encoding read, no bar off a terminal.
  EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 2) << o.err;
  EXPECT_TRUE(contains(o.err, std::string(texts::kReadAs) + std::string(texts::kEncodingCp932))) << o.err;
  EXPECT_TRUE(o.out.empty());
}

TEST(OrvellaConvert, QuietSaysNothingOnSuccess) {
  Cli c;
  const Outcome o = c.run({"-q", "-o", c.out.string(), c.input.string()});
  EXPECT_EQ(o.code, 0);
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(filesIn(c.out).size(), 1u);
}

TEST(OrvellaConvert, DefaultHeaderValues) {
  Cli c;
  ASSERT_EQ(c.run({"-o", c.out.string(), c.input.string()}).code, 0);
  const std::string record = c.file("E1__0000.VMG");
  EXPECT_TRUE(contains(record, "\r\nSubject: novel.part1-000\r\n")) << record;
  EXPECT_TRUE(contains(record, "\r\nFrom: " + std::string(kDefaultSender) + "\r\n"));
  EXPECT_TRUE(contains(record, "\r\nTo: \r\n"));
  EXPECT_TRUE(contains(record, " +0900\r\n"));
}

TEST(OrvellaConvert, OptionsReachTheRecords) {
  Cli c;
  const Outcome o = c.run({"-o", c.out.string(), "--subject", "変換", "--format", "0000", "--serial", "41",
                           "--from", "ｱ@x", "--to", "to@y", "--date", "Sun, 01 Jan 2006 00:00:00 -0500",
                           "--start", "12", "--max-bytes", "200", c.input.string()});
  ASSERT_EQ(o.code, 0) << o.err;
  EXPECT_EQ(filesIn(c.out), (std::vector<std::string>{"E1__0012.VMG", "E1__0013.VMG", "E1__0014.VMG"}));
  const std::string first = c.file("E1__0012.VMG");
  EXPECT_TRUE(contains(first, "\r\nSubject: \x95\xcf\x8a\xb7-0041\r\n")) << first;
  EXPECT_TRUE(contains(first, "\r\nFrom: \xb1@x\r\n"));
  EXPECT_TRUE(contains(first, "\r\nTo: to@y\r\n"));
  EXPECT_TRUE(contains(first, "\r\nDate: Sun, 01 Jan 2006 00:00:00 -0500\r\n"));
  EXPECT_TRUE(contains(c.file("E1__0014.VMG"), "-0043\r\n"));
}

// The same options in every form the command line takes them write the same records.
TEST(OrvellaConvert, OptionsAreReadInEveryUsualForm) {
  const std::vector<std::vector<std::string>> forms = {
      {"-o", "{out}", "--start", "3", "--max-bytes", "200", "{in}"},
      {"-o{out}", "--start=3", "--max-bytes=200", "{in}"},
      {"{in}", "--max-bytes", "200", "-qo", "{out}", "--start", "3"},
      {"--output={out}", "--start", "3", "--max-bytes=200", "--", "{in}"},
  };
  for (const auto& form : forms) {
    Cli c;
    std::vector<std::string> args;
    for (const std::string& a : form) {
      std::string arg = a;
      if (const auto at = arg.find("{out}"); at != std::string::npos) arg.replace(at, 5, c.out.string());
      if (arg == "{in}") arg = c.input.string();
      args.push_back(arg);
    }
    const Outcome o = c.run(args);
    ASSERT_EQ(o.code, 0) << form[0] << "\n" << o.err;
    EXPECT_EQ(filesIn(c.out), (std::vector<std::string>{"E1__0003.VMG", "E1__0004.VMG", "E1__0005.VMG"}))
        << form[0];
  }
  // Past "--" a name that looks like an option is an input, and a flag takes no value.
  Cli c;
  EXPECT_EQ(c.run({"-o", c.out.string(), "--", "--quiet"}).code, 1);
  const Outcome flagged = c.run({"-o", c.out.string(), "--quiet=yes", c.input.string()});
  EXPECT_EQ(flagged.code, 2);
  EXPECT_TRUE(contains(flagged.err, "--quiet=yes")) << flagged.err;
  EXPECT_TRUE(filesIn(c.out).empty());
}

TEST(OrvellaConvert, NoSerialLeavesTheSubjectBare) {
  Cli c;
  ASSERT_EQ(c.run({"--no-serial", "--subject", "abc", "-o", c.out.string(), c.input.string()}).code, 0);
  EXPECT_TRUE(contains(c.file("E1__0000.VMG"), "\r\nSubject: abc\r\n"));
}

struct RefusedCase {
  const char* name;
  std::vector<std::string> args;  // "IN" and "OUT" (or a path in it) stand for the prepared paths
  std::string says;
  friend void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }
};

class Refused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(Refused, ExitsTwoAndWritesNothing) {
#ifdef _WIN32
  // Windows arguments are UTF-16: bytes that are no UTF-8 cannot be handed over at all (what
  // can, an unpaired surrogate, is refused in tests/windows).
  if (std::string_view(GetParam().name).ends_with("NotUtf8")) GTEST_SKIP() << "no byte arguments on Windows";
#endif
  Cli c;
  std::vector<std::string> args;
  for (const auto& a : GetParam().args) {
    args.push_back(a == "IN" ? c.input.string() : a.starts_with("OUT") ? c.out.string() + a.substr(3) : a);
  }
  const Outcome o = c.run(args);
  EXPECT_EQ(o.code, 2) << o.err;
  EXPECT_TRUE(filesIn(c.out).empty());
  EXPECT_TRUE(contains(o.err, GetParam().says)) << o.err;
}

const std::string kFromTooLong = "From" + std::string(cli_texts::kTooLong);
const std::string kToTooLong = "To" + std::string(cli_texts::kTooLong);
const std::string kSubjectTooLong = "Subject" + std::string(cli_texts::kTooLong);

const std::string k33Wide = [] {
  std::string s;
  for (int i = 0; i < 33; ++i) s += "あ";
  return s;
}();

INSTANTIATE_TEST_SUITE_P(
    Cases, Refused,
    ::testing::Values(
        RefusedCase{"NoInput", {"-o", "OUT"}, "入力ファイルを指定"},
        RefusedCase{"VerifyAndJoin", {"--verify", "OUT", "--join", "OUT"}, "1 つだけ"},
        RefusedCase{"VerifyGivenAnInput", {"--verify", "OUT", "IN"}, "入力ファイルを指定できません"},
        RefusedCase{"VerifyMissingFolder", {"--verify", "OUT/nowhere"}, "nowhere"},
        RefusedCase{"JoinIntoItsFolder", {"--join", "OUT", "-o", "OUT/joined.txt"}, "同じフォルダ"},
        RefusedCase{"NoOutput", {"IN"}, "-o"},
        RefusedCase{"OutputMissing", {"-o", "OUT/nowhere", "IN"}, "nowhere"},
        RefusedCase{"UnknownOption", {"--bogus", "-o", "OUT", "IN"}, "--bogus"},
        RefusedCase{"ValueMissing", {"-o", "OUT", "IN", "--subject"}, "--subject"},
        RefusedCase{"LimitZero", {"--max-bytes", "0", "-o", "OUT", "IN"}, "最大バイト数"},
        RefusedCase{"LimitNotANumber", {"--max-bytes", "12kB", "-o", "OUT", "IN"}, "最大バイト数"},
        RefusedCase{"LimitPast32Bits", {"--max-bytes", "2147483648", "-o", "OUT", "IN"}, "最大バイト数"},
        RefusedCase{"StartPast9999", {"--start", "10000", "-o", "OUT", "IN"}, "--start"},
        RefusedCase{"SerialPast32767", {"--serial", "32768", "-o", "OUT", "IN"}, "--serial"},
        RefusedCase{"SubjectNotUtf8", {"--subject", "\xff\xfe", "-o", "OUT", "IN"}, "--subject"},
        RefusedCase{"FromNotUtf8", {"--from", "a\xc3", "-o", "OUT", "IN"}, "--from"},
        RefusedCase{"From65", {"--from", std::string(65, 'f'), "-o", "OUT", "IN"}, kFromTooLong},
        RefusedCase{"To33Wide", {"--to", k33Wide, "-o", "OUT", "IN"}, kToTooLong},
        RefusedCase{
            "Subject97WithSerial", {"--subject", std::string(97, 's'), "-o", "OUT", "IN"}, kSubjectTooLong},
        RefusedCase{"Subject101",
                    {"--no-serial", "--subject", std::string(101, 's'), "-o", "OUT", "IN"},
                    kSubjectTooLong},
        RefusedCase{"LongFormatLeavesNoRoom",
                    {"--subject", "", "--format", std::string(100, '0'), "-o", "OUT", "IN"},
                    kSubjectTooLong}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OrvellaConvert, EveryOverLongFieldIsNamed) {
  Cli c;
  const Outcome o = c.run({"--from", std::string(65, 'f'), "--to", std::string(65, 't'), "--subject",
                           std::string(97, 's'), "-o", c.out.string(), c.input.string()});
  EXPECT_EQ(o.code, 2);
  EXPECT_TRUE(contains(o.err, kFromTooLong)) << o.err;
  EXPECT_TRUE(contains(o.err, kToTooLong)) << o.err;
  EXPECT_TRUE(contains(o.err, kSubjectTooLong)) << o.err;
}

TEST(OrvellaConvert, FieldsAtTheirLimitsPass) {
  Cli c;
  std::string wide32;
  for (int i = 0; i < 32; ++i) wide32 += "あ";
  const Outcome o = c.run({"--from", std::string(64, 'f'), "--to", wide32, "--subject", std::string(96, 's'),
                           "-o", c.out.string(), c.input.string()});
  EXPECT_EQ(o.code, 0) << o.err;
  const Outcome bare =
      c.run({"--no-serial", "--subject", std::string(100, 's'), "-o", c.out.string(), c.input.string()});
  EXPECT_EQ(bare.code, 0) << bare.err;
}

TEST(OrvellaConvert, ReadOnlyOutputFolderIsRefusedUpFront) {
#ifdef _WIN32
  GTEST_SKIP() << "a folder's read-only attribute does not stop new files on Windows";
#else
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
#endif
  Cli c;
  fs::permissions(c.out, fs::perms::owner_read | fs::perms::owner_exec);
  const Outcome o = c.run({"--max-bytes", "200", "-o", c.out.string(), c.input.string()});
  EXPECT_EQ(o.code, 2);
  EXPECT_TRUE(contains(o.err, cli_texts::kOutputNotWritable)) << o.err;
}

TEST(OrvellaConvert, MissingInputExitsOneAndWritesNothing) {
  Cli c;
  const Outcome o = c.run({"-o", c.out.string(), (c.dir / "missing.txt").string()});
  EXPECT_EQ(o.code, 1);
  EXPECT_TRUE(filesIn(c.out).empty());
  EXPECT_TRUE(contains(o.err, texts::kInputOpenFailed)) << o.err;
}

TEST(OrvellaConvert, FailedWriteExitsOneAndStopsThere) {
  Cli c;
  fs::create_directory(c.out / "E1__0001.VMG");
  const Outcome o = c.run({"--max-bytes", "200", "-o", c.out.string(), c.input.string()});
  EXPECT_EQ(o.code, 1);
  EXPECT_TRUE(fs::is_regular_file(c.out / "E1__0000.VMG"));
  EXPECT_FALSE(fs::exists(c.out / "E1__0002.VMG"));  // no record after a hole
  // Told once: not as it happens and again when the run ends.
  const std::size_t told = o.err.find(texts::kWriteError);
  ASSERT_NE(told, std::string::npos) << o.err;
  EXPECT_EQ(o.err.find(texts::kWriteError, told + 1), std::string::npos) << o.err;
  EXPECT_TRUE(contains(o.err, (c.out / "E1__0001.VMG").string())) << o.err;
  EXPECT_TRUE(contains(o.err, texts::kRestNotConverted)) << o.err;
  EXPECT_FALSE(contains(o.err, texts::kCompleted)) << o.err;
}

TEST(OrvellaConvert, NumbersRunningOutExitsOne) {
  Cli c;
  const Outcome o = c.run({"--start", "9999", "--max-bytes", "200", "-o", c.out.string(), c.input.string()});
  EXPECT_EQ(o.code, 1);
  EXPECT_EQ(filesIn(c.out), std::vector<std::string>{"E1__9999.VMG"});
  EXPECT_TRUE(contains(o.err, texts::fillIn(texts::kNumbersOut, {{"last", "9999"}}))) << o.err;
  EXPECT_TRUE(contains(o.err, "E1__9999.VMG")) << o.err;
}

TEST(OrvellaConvert, SerialsRunningOutExitsOne) {
  Cli c;
  const Outcome o =
      c.run({"--serial", "32766", "--max-bytes", "200", "-o", c.out.string(), c.input.string()});
  EXPECT_EQ(o.code, 1);
  EXPECT_EQ(filesIn(c.out), (std::vector<std::string>{"E1__0000.VMG", "E1__0001.VMG"}));
  EXPECT_TRUE(contains(o.err, texts::fillIn(texts::kSerialsOut, {{"last", "32767"}}))) << o.err;
}

TEST(OrvellaConvert, HelpAndVersionGoToStdout) {
  Cli c;
  const Outcome help = c.run({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(contains(help.out, "--max-bytes"));
  const Outcome version = c.run({"--version"});
  EXPECT_EQ(version.code, 0);
  EXPECT_EQ(version.out, "orvella-convert " + std::string(kVersion) + "\n");
  // The version record's form: major, two-digit minor, four-digit patch.
  EXPECT_EQ(kVersion, "1.00.0001");
}

TEST(OrvellaConvert, LimitsReadAsAJapaneseUserWritesThem) {
  const std::pair<const char*, std::size_t> cases[] = {
      {"+200", 3}, {"２００", 3}, {"＋２００", 3}, {"1,000", 1}, {"１，０００", 1}};
  for (const auto& [limit, files] : cases) {
    Cli c;
    const Outcome o = c.run({"-q", "-o", c.out.string(), "--max-bytes", limit, c.input.string()});
    EXPECT_EQ(o.code, 0) << limit << o.err;
    EXPECT_EQ(filesIn(c.out).size(), files) << limit;
  }
  Cli c;
  EXPECT_EQ(c.run({"-q", "-o", c.out.string(), "--max-bytes", "2００.5", c.input.string()}).code, 2);
  EXPECT_TRUE(filesIn(c.out).empty());
}

}  // namespace
}  // namespace orvella
