#include "convert/converter.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/line_reader.hpp"
#include "convert/reasons.hpp"
#include "convert/text_check.hpp"
#include "convert/texts.hpp"
#include "core/cp932.hpp"
#include "recording_host.hpp"
#include "support/temp_dir.hpp"

namespace orvella {
namespace {

namespace fs = std::filesystem;
using testing::bodyLines;
using testing::readFile;
using testing::RecordingHost;
using testing::TempDir;
using testing::writeFile;

const std::string kLine50(50, 'x');

std::string joinLines(const std::vector<std::string>& lines, std::string_view end = "\r\n") {
  std::string out;
  for (const auto& l : lines) out += l + std::string(end);
  return out;
}

std::vector<std::string> repeat(const std::string& line, int n) {
  return std::vector<std::string>(static_cast<std::size_t>(n), line);
}

struct Fixture : testing::ConversionFolder {
  Fixture() : ConversionFolder(u"note") {
    settings.header.from = u"abc";
    settings.header.to = u"xyz";
  }
  ConvertResult run(std::string_view input) {
    writeFile(settings.input, input);
    return Convert(settings, message, host);
  }
  std::string file(int number) const { return readFile(out / fileNameFor(number)); }
};

using Bodies = std::vector<std::vector<std::string>>;

struct SplitCase {
  const char* name;
  std::string limit;
  std::vector<std::string> lines;
  Bodies bodies;
  friend void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }
};

class Splitting : public ::testing::TestWithParam<SplitCase> {};

TEST_P(Splitting, RecordsHoldTheLinesThatFit) {
  const SplitCase& c = GetParam();
  Fixture f;
  f.settings.limit = *parseLimit(c.limit);
  const ConvertResult r = f.run(joinLines(c.lines));
  EXPECT_EQ(r.status, ConvertStatus::Completed);
  EXPECT_EQ(f.bodies(), c.bodies);
  EXPECT_EQ(r.filesWritten, static_cast<int>(c.bodies.size()));
  EXPECT_EQ(r.nextNumber, static_cast<int>(c.bodies.size()));
  ASSERT_EQ(f.host.messages.size(), 1u);
  EXPECT_EQ(f.host.messages[0].second, texts::kCompleted);
}

const std::string kFits9903 = std::string(9901, 'a');  // 97 + 9901 + 2 = 10000 exactly
const std::string kLong(300, 'L');

INSTANTIATE_TEST_SUITE_P(
    Cases, Splitting,
    ::testing::Values(
        // 97 + 52 = 149 fits 200, 149 + 52 = 201 does not.
        SplitCase{"Limit200OneLineEach", "200", repeat(kLine50, 3), Bodies(3, repeat(kLine50, 1))},
        SplitCase{"Limit201TwoLinesEach", "201", repeat(kLine50, 5),
                  Bodies{repeat(kLine50, 2), repeat(kLine50, 2), repeat(kLine50, 1)}},
        SplitCase{"ExactlyAtTheLimitFits", "10000", {kFits9903}, Bodies{{kFits9903}}},
        SplitCase{"OneByteOverOpensASecondFile", "10000", {kFits9903 + "a"}, Bodies{{}, {kFits9903 + "a"}}},
        SplitCase{"EmptyFileGivesOneEmptyRecord", "10000", {}, Bodies{{}}},
        SplitCase{"FirstLineOverTheLimit", "200", {kLong, "b"}, Bodies{{}, {kLong}, {"b"}}},
        SplitCase{"LongLineStandsAlone", "200", {"a", kLong, "b"}, Bodies{{"a"}, {kLong}, {"b"}}},
        SplitCase{"EmptyLinesCountTwo", "103", {"", "", "", ""}, Bodies{{"", "", ""}, {""}}},
        // A NUL counts two bytes: 97 + 2 + 2 = 101 does not fit 100.
        SplitCase{"NulCountsTwo", "100", {std::string(1, '\0')}, Bodies{{}, {std::string(1, '\0')}}},
        SplitCase{"LimitMaySurroundWithSpaces", " 201 ", repeat(kLine50, 2), Bodies{repeat(kLine50, 2)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Convert, FileUnderTheDefaultLimitIsOneFileAndTheSpinnerMovesOn) {
  Fixture f;
  const ConvertResult r = f.run(joinLines(repeat("0123456789", 825)));  // 825 * 12 = 9900
  EXPECT_EQ(f.files(), std::vector<std::string>{"E1__0000.VMG"});
  EXPECT_EQ(f.host.steps, std::vector<int>{1});
  EXPECT_EQ(r.nextNumber, 1);
  EXPECT_EQ(r.firstNumber, 0);
  EXPECT_EQ(r.lastNumber, 0);
}

TEST(Convert, LoneLfEndsALineAndIsWrittenAsCrLf) {
  Fixture f;
  f.run("a\nb\nc\n");
  EXPECT_EQ(f.bodies(), (Bodies{{"a", "b", "c"}}));
  EXPECT_NE(f.file(0).find("\r\n\r\na\r\nb\r\nc\r\n\r\nEND:VBODY"), std::string::npos);
}

TEST(Convert, WrittenSizeIsTheCountPlusTheUncountedHeaderAndFooter) {
  Fixture f;
  f.settings.limit = 400;
  // 97 + 7 + 7 + 202 = 313 fits 400; the 100-byte line would make 415.
  const std::vector<std::string> lines = {"line1", "line2", std::string(200, 'q'), std::string(100, 'r')};
  f.run(joinLines(lines));
  // 158 fixed bytes, the Date (31), From, Subject with "-000", To, then 97 and each line + 2.
  const std::size_t fixed = 158 + 31 + 3 + 8 + 3 + 97;
  EXPECT_EQ(f.file(0).size(), fixed + 7 + 7 + 202);
  EXPECT_EQ(f.file(1).size(), fixed + 102);
  EXPECT_NE(f.file(1).find("Subject: note-001\r\n"), std::string::npos);
}

TEST(Convert, EachHeaderAsksForTheDate) {
  Fixture f;
  f.settings.limit = 200;
  f.host.dates = {u"first", u"second", u"third"};
  f.run(joinLines(repeat(kLine50, 3)));
  EXPECT_NE(f.file(0).find("Date: first\r\n"), std::string::npos);
  EXPECT_NE(f.file(1).find("Date: second\r\n"), std::string::npos);
  EXPECT_NE(f.file(2).find("Date: third\r\n"), std::string::npos);
}

TEST(Convert, BreathesOncePerLine) {
  Fixture f;
  f.run(std::string("ab\r\n\0c\r\n\r\nxyz", 13));
  EXPECT_EQ(f.host.breaths, 4);
}

// The bar is full when the whole text is read: the adds come to the file's size, line ends and
// byte-order marks included, whatever the line ends and the encoding.
TEST(Convert, ProgressAddsUpToTheInputsSize) {
  const std::string texts[] = {std::string("ab\r\n\0c\r\n\r\nxyz", 13), "a\rb\rc\r", "a\nb\n\n",
                               "a\r\nb\rc\nd\r\n",
                               // a CR LF split between two blocks, as the last bytes of the file
                               std::string(LineReader::kBlockSize - 1, 'x') + "\r\n", ""};
  const auto utf16 = [](const std::string& text, bool little) {
    std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
    for (const char c : text) out += little ? std::string{c, '\0'} : std::string{'\0', c};
    return out;
  };
  for (const std::string& text : texts) {
    for (const std::string& input :
         {text, "\xEF\xBB\xBF" + text, "\xE3\x81\x82" + text, utf16(text, true), utf16(text, false)}) {
      SCOPED_TRACE(::testing::PrintToString(input.substr(0, 24)));
      Fixture f;
      ASSERT_EQ(f.run(input).status, ConvertStatus::Completed);
      EXPECT_EQ(f.host.progress, static_cast<std::int64_t>(input.size()));
    }
  }
}

TEST(Convert, LimitBelowOneIsRefusedBeforeAnythingIsRead) {
  for (const std::int32_t limit : {0, -5}) {
    Fixture f;
    f.settings.limit = limit;
    const ConvertResult r = f.run("a\r\n");
    EXPECT_EQ(r.status, ConvertStatus::InvalidLimit) << limit;
    EXPECT_EQ(r.failure.value_or(Failure{}).kind, FailureKind::InvalidLimit) << limit;
    EXPECT_TRUE(f.files().empty()) << limit;
    ASSERT_EQ(f.host.messages.size(), 1u) << limit;
    EXPECT_EQ(f.host.messages[0].first, MessageKind::Error);
  }
}

TEST(ParseLimit, ReadsNumbersAsAJapaneseUserWritesThem) {
  const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
      {"1", 1},
      {"10000", 10000},
      {"0010", 10},
      {"2147483647", 2147483647},
      {"+10000", 10000},
      {"10,000", 10000},
      {"2,147,483,647", 2147483647},
      {"1,0000", 10000},  // separators are not checked for their places
      {"１００００", 10000},
      {"＋１０，０００", 10000},
      {"1０,０00", 10000},
      {"  10000\t", 10000},
      {"\u3000１００\u3000", 100},
      // Refused.
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"+", std::nullopt},
      {"0", std::nullopt},
      {"+0", std::nullopt},
      {"0,000", std::nullopt},
      {"-5", std::nullopt},
      {"－５", std::nullopt},
      {"++5", std::nullopt},
      {",100", std::nullopt},
      {"100,", std::nullopt},
      {"1,,000", std::nullopt},
      {"1.5", std::nullopt},
      {"10 000", std::nullopt},
      {"2147483648", std::nullopt},
      {"2,147,483,648", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"１０ａ", std::nullopt},
      {"\xff"
       "10",
       std::nullopt},  // not UTF-8
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(parseLimit(text), expected) << text;
}

TEST(FileNameFor, IsFourDigitsBetweenPrefixAndExtension) {
  EXPECT_EQ(fileNameFor(0), "E1__0000.VMG");
  EXPECT_EQ(fileNameFor(7), "E1__0007.VMG");
  EXPECT_EQ(fileNameFor(9999), "E1__9999.VMG");
}

TEST(Convert, UnreadableInputWritesNothing) {
  Fixture f;
  f.settings.input = f.dir / "missing.txt";
  const ConvertResult r = Convert(f.settings, f.message, f.host);
  EXPECT_EQ(r.status, ConvertStatus::InputError);
  EXPECT_TRUE(f.files().empty());
  EXPECT_TRUE(f.host.steps.empty());
  EXPECT_EQ(f.host.dateAsks, 0);
  ASSERT_EQ(f.host.messages.size(), 1u);
  EXPECT_EQ(f.host.messages[0].first, MessageKind::Error);
  const std::string& text = f.host.messages[0].second;
  EXPECT_NE(text.find(texts::kInputOpenFailed), std::string::npos);
  // The reason in Japanese, not the system's English.
  EXPECT_NE(text.find(reasonText(platform::SystemError{platform::ErrorKind::NotFound, 0})), std::string::npos)
      << text;
  EXPECT_EQ(text.find("No such file"), std::string::npos) << text;
}

TEST(Convert, NumbersRunOutAfter9999WithInputLeft) {
  Fixture f;
  f.settings.limit = 200;
  f.settings.startNumber = 9998;
  const ConvertResult r = f.run(joinLines({"a" + kLine50, "b" + kLine50, "c" + kLine50}));
  EXPECT_EQ(r.status, ConvertStatus::NumbersOut);
  EXPECT_EQ(f.files(), (std::vector<std::string>{"E1__9998.VMG", "E1__9999.VMG"}));
  EXPECT_EQ(bodyLines(f.file(9999)), std::vector<std::string>{"b" + kLine50});
  EXPECT_EQ(f.host.steps, std::vector<int>{9999});
  EXPECT_EQ(r.nextNumber, 9999);
  ASSERT_EQ(f.host.messages.size(), 1u);
  const std::string& text = f.host.messages[0].second;
  EXPECT_NE(text.find(texts::fillIn(texts::kNumbersOut, {{"last", "9999"}})), std::string::npos);
  EXPECT_NE(text.find("E1__9999.VMG"), std::string::npos);
  EXPECT_NE(text.find(texts::kRestNotConverted), std::string::npos);
}

TEST(Convert, LastRecordAt9999CompletesAndTheNumberStays) {
  Fixture f;
  f.settings.limit = 200;
  f.settings.startNumber = 9998;
  const ConvertResult r = f.run(joinLines(repeat(kLine50, 2)));
  EXPECT_EQ(r.status, ConvertStatus::Completed);
  EXPECT_EQ(f.files().size(), 2u);
  EXPECT_EQ(f.host.steps, std::vector<int>{9999});
  EXPECT_EQ(r.nextNumber, 9999);
}

TEST(Convert, SerialsRunOutBeforeTheRecordThatWouldNeed32768) {
  Fixture f;
  f.settings.limit = 200;
  f.message.setSubjectSerial(32766);
  const ConvertResult r = f.run(joinLines({"a" + kLine50, "b" + kLine50, "c" + kLine50}));
  EXPECT_EQ(r.status, ConvertStatus::SerialsOut);
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.failure->kind, FailureKind::SerialsOut);
  EXPECT_EQ(f.files(), (std::vector<std::string>{"E1__0000.VMG", "E1__0001.VMG"}));
  EXPECT_NE(f.file(1).find("Subject: note-32767\r\n"), std::string::npos);
  EXPECT_EQ(f.message.curMessage(), f.file(1));  // the last record written stays on show
  EXPECT_EQ(r.nextNumber, 2);
  ASSERT_EQ(f.host.messages.size(), 1u);
  EXPECT_NE(f.host.messages[0].second.find(texts::fillIn(texts::kSerialsOut, {{"last", "32767"}})),
            std::string::npos);
  EXPECT_NE(f.host.messages[0].second.find("E1__0001.VMG"), std::string::npos);
}

TEST(Convert, SerialsExhaustedAtTheStartWriteNothing) {
  Fixture f;
  f.message.setSubjectSerial(32767);
  ASSERT_TRUE(f.message.AddHeader(f.settings.header));  // uses 32767
  const ConvertResult r = f.run("a\r\n");
  EXPECT_EQ(r.status, ConvertStatus::SerialsOut);
  EXPECT_TRUE(f.files().empty());
  EXPECT_NE(f.host.messages.at(0).second.find(texts::kNoFileWritten), std::string::npos);
}

TEST(Convert, WithoutTheSerialTheCounterIsNotALimit) {
  Fixture f;
  f.settings.limit = 200;
  f.settings.header.serialOn = false;
  f.message.setSubjectSerial(32767);
  ASSERT_TRUE(f.message.AddHeader(HeaderInputs{}));  // uses 32767
  const ConvertResult r = f.run(joinLines(repeat(kLine50, 3)));
  EXPECT_EQ(r.status, ConvertStatus::Completed);
  EXPECT_EQ(f.files().size(), 3u);
}

TEST(Convert, FailedWriteIsReportedOnceAndTheRunStopsThere) {
  Fixture f;
  f.settings.limit = 200;
  const fs::path blocked = f.dir / "out" / "E1__0001.VMG";
  fs::create_directory(blocked);  // a folder cannot be replaced by a record
  const ConvertResult r = f.run(joinLines({kLine50, kLine50, kLine50, "b"}));
  EXPECT_EQ(r.status, ConvertStatus::WriteFailures);
  ASSERT_EQ(f.host.failures.size(), 1u);
  EXPECT_EQ(f.host.failures[0].first, blocked);
  EXPECT_EQ(
      f.host.failures[0].second.rfind(
          failureText({FailureKind::Write, platform::SystemError{platform::ErrorKind::IsFolder, 0}, blocked}),
          0),
      0u);
  EXPECT_EQ(r.failedFiles, std::vector<fs::path>{blocked});
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.failure->path, blocked);
  EXPECT_EQ(r.filesWritten, 1);
  EXPECT_FALSE(fs::exists(f.dir / "out" / "E1__0002.VMG"));  // no record after the hole
  EXPECT_EQ(f.host.steps, (std::vector<int>{1}));
  EXPECT_EQ(r.nextNumber, 1);  // a second run goes on with the record that failed
  ASSERT_EQ(f.host.messages.size(), 1u);
  const auto& [kind, text] = f.host.messages[0];
  EXPECT_EQ(kind, MessageKind::Error);
  EXPECT_EQ(text.find(texts::kCompleted), std::string::npos);
  EXPECT_NE(text.find(blocked.string()), std::string::npos) << text;
  EXPECT_NE(text.find(reasonText({platform::ErrorKind::IsFolder, 0})), std::string::npos) << text;
  EXPECT_NE(text.find("E1__0000.VMG"), std::string::npos) << text;
}

TEST(Convert, StopClosesTheRecordInHand) {
  Fixture f;
  f.host.stopWhen = [&] { return f.host.breaths == 2; };
  const ConvertResult r = f.run("one\r\ntwo\r\nthree\r\n");
  EXPECT_EQ(r.status, ConvertStatus::Stopped);
  EXPECT_EQ(f.bodies(), (Bodies{{"one", "two"}}));
  EXPECT_EQ(f.host.steps, std::vector<int>{1});
  EXPECT_TRUE(f.host.messages.empty());
}

TEST(Convert, StartNumberOutsideTheRangeIsAProgrammingError) {
  Fixture f;
  f.settings.startNumber = 10000;
  EXPECT_THROW(f.run("a"), std::out_of_range);
  EXPECT_TRUE(f.files().empty());
}

// Records that start at chapters: a generated novel with each kind of heading, converted with the
// heading options, and counted by the dry run alike.
TEST(Headings, StartRecordsAndNameThemOnAGeneratedNovel) {
  // A note naming the heading, a pair of notes around it, a plain line, and a note naming a
  // heading too long for a Subject.
  const std::u16string longer(60, u'長');
  const std::u16string headings[] = {u"［＃５字下げ］第一章　春《はる》［＃「第一章　春」は大見出し］",
                                     u"［＃中見出し］第二章　夏［＃中見出し終わり］", u"第三話　秋",
                                     longer + u"［＃「" + longer + u"」は小見出し］"};
  std::u16string novel = u"猫町綺譚\n作者\n";
  for (const auto& heading : headings) novel += heading + u"\n　吾輩《わがはい》は猫である。\n";
  const struct {
    AozoraMode aozora;
    bool breaks;
    const char* pattern;
    bool subjects;
    std::vector<std::u16string> records;  // each one's Subject and first line
  } rows[] = {
      {AozoraMode::Keep,
       true,
       "",
       false,
       {u"猫町-000|猫町綺譚", u"猫町-001|" + headings[0], u"猫町-002|" + headings[1],
        u"猫町-003|" + headings[3]}},
      {AozoraMode::Strip,
       true,
       "^第[0-9０-９一二三四五六七八九十百]+[章話]",
       true,
       {u"猫町-000|猫町綺譚", u"猫町-001 第一章　春|第一章　春", u"猫町-002 第二章　夏|第二章　夏",
        u"猫町-003 第三話　秋|第三話　秋", u"猫町-004 " + longer.substr(0, 45) + u"|" + longer}},
      {AozoraMode::Strip, false, "", true, {u"猫町-000|猫町綺譚"}},  // Subjects alone break nothing
  };
  for (const auto& row : rows) {
    testing::ConversionFolder f(u"猫町");
    testing::writeFile(f.settings.input, cp932::encode(novel));
    f.settings.reading = {row.aozora, false, row.breaks, row.pattern, row.subjects, 0};
    ASSERT_EQ(Convert(f.settings, f.message, f.host).status, ConvertStatus::Completed);
    std::vector<std::u16string> records;
    for (const auto& name : f.files()) {
      const std::string record = testing::readFile(f.out / name);
      const auto at = record.find("Subject: ") + 9;
      records.push_back(cp932::decode(record.substr(at, record.find("\r\n", at) - at) + "|" +
                                      testing::bodyLines(record).front()));
    }
    EXPECT_EQ(records, row.records);
    EXPECT_EQ(checkText(f.settings, f.host.dates.front(), 0).records, records.size());
  }
}

}  // namespace
}  // namespace orvella
