// orvella-convert on texts as they come: --encoding, what a run tells about its input, --check's
// listing and exit codes, and the JIS readings in a Subject.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_texts.hpp"
#include "convert/defaults.hpp"
#include "convert/texts.hpp"
#include "core/message.hpp"
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

struct Texts {
  TempDir dir;
  fs::path out = dir / "out";
  Texts() { fs::create_directory(out); }
  fs::path input(const std::string& bytes, const char* name = "in.txt") {
    writeFile(dir / name, bytes);
    return dir / name;
  }
  Outcome run(const std::vector<std::string>& args) { return testing::run(dir.path(), args); }
};

std::string lines(int count, const std::string& end) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + " \xe3\x81\x82" + end;  // あ in UTF-8
  return text;
}

const std::string kReadAs(texts::kReadAs);

TEST(OrvellaConvertEncodings, UtfInputIsWrittenAsCodePage932AndSaysSo) {
  Texts t;
  const fs::path in = t.input("\xef\xbb\xbf\xe5\xa4\x89\xe6\x8f\x9b\n");  // 変換 in UTF-8 with a mark
  const Outcome o = t.run({"-o", t.out.string(), in.string()});
  ASSERT_EQ(o.code, 0) << o.err;
  EXPECT_TRUE(contains(readFile(t.out / "E1__0000.VMG"), "\r\n\r\n\x95\xcf\x8a\xb7\r\n\r\nEND:VBODY"));
  EXPECT_TRUE(contains(o.err, kReadAs + "UTF-8" + std::string(texts::kWithMark))) << o.err;
}

TEST(OrvellaConvertEncodings, EncodingOptionOverridesDetection) {
  Texts t;
  const fs::path in = t.input("\xe3\x81\x82\r\n");  // あ in UTF-8, or two odd code page 932 codes
  ASSERT_EQ(t.run({"--encoding", "cp932", "-o", t.out.string(), in.string()}).code, 0);
  EXPECT_TRUE(contains(readFile(t.out / "E1__0000.VMG"), "\r\n\r\n\xe3\x81\x82\r\n"));
  ASSERT_EQ(t.run({"--encoding", "utf-8", "-o", t.out.string(), in.string()}).code, 0);
  EXPECT_TRUE(contains(readFile(t.out / "E1__0000.VMG"), "\r\n\r\n\x82\xa0\r\n"));
  const Outcome bad = t.run({"--encoding", "latin-1", "-o", t.out.string(), in.string()});
  EXPECT_EQ(bad.code, 2);
  EXPECT_TRUE(contains(bad.err, cli_texts::kBadEncoding)) << bad.err;
}

TEST(OrvellaConvertEncodings, QuestionMarksAreCountedAndTheFirstShown) {
  Texts t;
  // U+1F600 on line 2, a bad byte on line 3, U+00A6 on line 4.
  const fs::path in = t.input("\xe3\x81\x82\n\xf0\x9f\x98\x80\nx\xff\n\xc2\xa6\n");
  const Outcome o = t.run({"--encoding", "utf-8", "-o", t.out.string(), in.string()});
  ASSERT_EQ(o.code, 0) << o.err;
  EXPECT_TRUE(contains(o.err, std::string(texts::kSubstitutedPrefix) + "3")) << o.err;
#ifdef _WIN32
  const std::string shown = "?";  // redirected, the text is in a code page without it
#else
  const std::string shown = "\xf0\x9f\x98\x80";
#endif
  EXPECT_TRUE(contains(o.err, "2" + std::string(texts::kLineSuffix) + "U+1F600 " + shown)) << o.err;
  EXPECT_TRUE(
      contains(o.err, "3" + std::string(texts::kLineSuffix) + std::string(texts::kInvalidBytes) + " FF"))
      << o.err;
  EXPECT_TRUE(contains(o.err, "4" + std::string(texts::kLineSuffix) + "U+00A6")) << o.err;
  const Outcome quiet = t.run({"-q", "--encoding", "utf-8", "-o", t.out.string(), in.string()});
  EXPECT_EQ(quiet.code, 0);
  EXPECT_EQ(quiet.err, "");
}

TEST(OrvellaConvertEncodings, StructureLikeLinesAreWarnedAboutAndWritten) {
  Texts t;
  const fs::path in = t.input("text\r\nEND:VBODY\r\nmore\r\n");
  const Outcome o = t.run({"-o", t.out.string(), in.string()});
  EXPECT_EQ(o.code, 0) << o.err;
  EXPECT_TRUE(contains(o.err, "2" + std::string(texts::kLineSuffix) + "END:VBODY")) << o.err;
  EXPECT_TRUE(contains(readFile(t.out / "E1__0000.VMG"), "\r\ntext\r\nEND:VBODY\r\nmore\r\n"));
}

// The nine characters another system's input method types, as Subject: their Shift_JIS codes.
TEST(OrvellaConvertEncodings, JisReadingsInTheSubjectAreWrittenWithTheirCodes) {
  Texts t;
  const fs::path in = t.input("body\r\n");
  const std::string nine =
      "\xe3\x80\x9c\xe2\x88\x92\xe2\x80\x96\xe2\x80\x94\xc2\xa2\xc2\xa3\xc2\xac\xc2\xa5\xe2\x80\xbe";
  const Outcome o = t.run({"--subject", nine, "-o", t.out.string(), in.string()});
  ASSERT_EQ(o.code, 0) << o.err;
  EXPECT_TRUE(
      contains(readFile(t.out / "E1__0000.VMG"),
               "\r\nSubject: \x81\x60\x81\x7c\x81\x61\x81\x5c\x81\x91\x81\x92\x81\xca\x5c\x7e-000\r\n"));
  // They count 16 bytes: six times and one letter, with "-000", make 101.
  std::string tooLong;
  for (int i = 0; i < 6; ++i) tooLong += nine;
  const Outcome atLimit = t.run({"--subject", tooLong, "-o", t.out.string(), in.string()});
  EXPECT_EQ(atLimit.code, 0) << atLimit.err;
  tooLong += "x";
  const Outcome refused = t.run({"--subject", tooLong, "-o", t.out.string(), in.string()});
  EXPECT_EQ(refused.code, 2);
  EXPECT_TRUE(contains(refused.err, "Subject" + std::string(cli_texts::kTooLong) + "101")) << refused.err;
}

// ---- --check

std::vector<std::string> outputLines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t at = 0;
  while (at < text.size()) {
    const auto end = text.find('\n', at);
    out.push_back(text.substr(at, end - at));
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return out;
}

TEST(OrvellaConvertCheck, CleanTextListsItsShapeAndExitsZero) {
  Texts t;
  const fs::path in = t.input(lines(3, "\r\n") + lines(2, "\n") + "last");
  const Outcome o = t.run({"--check", in.string()});
  EXPECT_EQ(o.code, 0) << o.err;
  EXPECT_EQ(o.err, "");
  const auto listed = outputLines(o.out);
  ASSERT_GE(listed.size(), 6u) << o.out;
  EXPECT_EQ(listed[0], kReadAs + "UTF-8");
  EXPECT_EQ(listed[1], std::string(cli_texts::kCheckLineEnds) + "CR LF 3 / CR 0 / LF 2");
  EXPECT_EQ(listed[2], std::string(cli_texts::kCheckLines) + "6");
  EXPECT_TRUE(contains(listed[3], std::string(cli_texts::kCheckRecordsPrefix) + "1" +
                                      std::string(cli_texts::kCheckRecordsMiddle)));
  EXPECT_EQ(listed[4], cli_texts::kCheckNoSubstitutes);
  EXPECT_EQ(listed[5], cli_texts::kCheckNoStructure);
  EXPECT_TRUE(filesIn(t.out).empty());
}

// The records and the largest size --check names are those a conversion then writes.
TEST(OrvellaConvertCheck, RecordsAndLargestSizeMatchAConversion) {
  Texts t;
  std::string text = lines(200, "\r\n");
  text.insert(text.size() / 2, std::string(700, 'w') + "\r\n");
  const fs::path in = t.input(text);
  const std::vector<std::string> options = {
      "--max-bytes", "500",      "--date", "Thu, 01 Jan 2004 00:00:00 +0900", "--subject", "件名", "--format",
      "#",           "--serial", "7"};
  std::vector<std::string> check = options;
  check.insert(check.end(), {"--check", in.string()});
  const Outcome o = t.run(check);
  ASSERT_EQ(o.code, 1) << o.err;  // the long line is named
  std::vector<std::string> convert = options;
  convert.insert(convert.end(), {"-o", t.out.string(), in.string()});
  ASSERT_EQ(t.run(convert).code, 0);
  const auto files = filesIn(t.out);
  std::uintmax_t largest = 0;
  std::uintmax_t largestCounted = 0;  // the MIME lines and the body lines, with their line ends
  for (const auto& f : files) {
    const std::string record = readFile(t.out / f);
    largest = std::max<std::uintmax_t>(largest, record.size());
    const std::size_t blankLine = 2;  // between the MIME lines and the body
    largestCounted = std::max<std::uintmax_t>(
        largestCounted, record.size() - record.find("MIME-Version:") - blankLine - kFooterBytes);
  }
  EXPECT_TRUE(contains(o.out, std::string(cli_texts::kCheckRecordsPrefix) + std::to_string(files.size()) +
                                  std::string(cli_texts::kCheckRecordsMiddle) + std::to_string(largest) +
                                  std::string(cli_texts::kCheckRecordsCounted) +
                                  std::to_string(largestCounted) + std::string(cli_texts::kCheckRecordsEnd)))
      << o.out << files.size() << " files, largest " << largest << ", counted " << largestCounted;
}

// Where --check says the numbers or serials run out, a conversion stops, exit 1; where they
// just suffice, both pass.
TEST(OrvellaConvertCheck, SaysWhereNumbersOrSerialsRunOutAsAConversionStops) {
  const struct {
    std::vector<std::string> options;
    const std::string_view* says;  // the line --check adds, with the last number or serial
    int last;
    const char* lastFile;
    int lastLine;
  } rows[] = {
      {{"--start", "9998"}, &cli_texts::kCheckNumbersOut, kLastFileNumber, "E1__9999.VMG", 2},
      {{"--start", "9995"}, nullptr, 0, "E1__9999.VMG", 5},
      {{"--serial", "32766"}, &cli_texts::kCheckSerialsOut, Message::kMaxSerial, "E1__0001.VMG", 2},
      {{"--serial", "32766", "--no-serial"}, nullptr, 0, "E1__0004.VMG", 5},
      {{"--start", "9999", "--serial", "32767"},
       &cli_texts::kCheckNumbersOut,
       kLastFileNumber,
       "E1__9999.VMG",
       1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.options.front() + " " + row.options[1]);
    Texts t;
    const fs::path in = t.input("a\r\nb\r\nc\r\nd\r\ne\r\n");  // one line a record at the limit below
    const auto run = [&](std::vector<std::string> last) {
      std::vector<std::string> args = row.options;
      args.insert(args.end(), {"--max-bytes", "100"});
      args.insert(args.end(), last.begin(), last.end());
      return t.run(args);
    };
    const Outcome checked = run({"--check", in.string()});
    const Outcome converted = run({"-o", t.out.string(), in.string()});
    EXPECT_EQ(checked.code, row.says ? 1 : 0) << checked.out;
    EXPECT_EQ(converted.code, checked.code) << converted.err;
    EXPECT_EQ(filesIn(t.out).back(), row.lastFile);
    if (row.says) {
      EXPECT_TRUE(contains(checked.out, texts::fillIn(*row.says, {{"last", std::to_string(row.last)},
                                                                  {"file", row.lastFile},
                                                                  {"line", std::to_string(row.lastLine)}})))
          << checked.out;
    }
  }
}

TEST(OrvellaConvertCheck, ListsStructureLinesTenThenACountAndExitsOne) {
  Texts t;
  std::string text = "intro\n";
  for (int i = 0; i < 12; ++i) text += i % 2 ? "End:VBODY\n" : "begin:vcard\n";
  const fs::path in = t.input(text);
  const Outcome o = t.run({"--check", in.string()});
  EXPECT_EQ(o.code, 1);
  EXPECT_TRUE(contains(o.out, std::string(texts::kStructurePrefix) + "12")) << o.out;
  EXPECT_TRUE(contains(o.out, "  2" + std::string(texts::kLineSuffix) + "begin:vcard")) << o.out;
  EXPECT_TRUE(contains(o.out, "  11" + std::string(texts::kLineSuffix) + "End:VBODY")) << o.out;
  EXPECT_FALSE(contains(o.out, "  12" + std::string(texts::kLineSuffix))) << o.out;
  EXPECT_TRUE(contains(o.out, std::string(texts::kMorePrefix) + "2" + std::string(texts::kLinesSuffix)))
      << o.out;
}

TEST(OrvellaConvertCheck, ListsQuestionMarksAndExitsOne) {
  Texts t;
  const fs::path in = t.input(
      "\xef\xbb\xbf"
      "a\r\nb\xf0\x9f\x98\x80\r\n");
  const Outcome o = t.run({"--check", in.string()});
  EXPECT_EQ(o.code, 1);
  EXPECT_TRUE(contains(o.out, std::string(texts::kSubstitutedPrefix) + "1")) << o.out;
  EXPECT_TRUE(contains(o.out, "2" + std::string(texts::kLineSuffix) + "U+1F600")) << o.out;
}

TEST(OrvellaConvertCheck, BadUsageExitsTwo) {
  Texts t;
  const fs::path in = t.input("a\r\n");
  EXPECT_EQ(t.run({"--check"}).code, 2);
  EXPECT_EQ(t.run({"--check", "--max-bytes", "0", in.string()}).code, 2);
  EXPECT_EQ(t.run({"--check", "--encoding", "ebcdic", in.string()}).code, 2);
}

}  // namespace
}  // namespace orvella
