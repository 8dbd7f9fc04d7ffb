#include "core/message.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace orvella {
namespace {

HeaderInputs noteInputs() {
  HeaderInputs in;
  in.date = u"Wed, 11 Feb 2004 05:15:55 +0900";
  in.from = u"abc";
  in.subject = u"note";
  in.serialOn = true;
  in.pattern = u"000";
  in.to = u"xyz";
  return in;
}

const std::string kHeaderTail =
    "Cc: \r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=Shift_JIS\r\n"
    "Content-Transfer-Encoding: 8bit\r\n\r\n";

TEST(Message, FullRecordHasExactLayoutAndSize) {
  Message m;
  m.NewFile();
  ASSERT_TRUE(m.AddHeader(noteInputs()));
  m.AddText(std::string_view("line1"));
  m.AddText(std::string_view("line2"));
  m.AddFooter();
  const std::string expected =
      "BEGIN:VMSG\r\nVERSION:1.1\r\nX-IRMC-STATUS:READ\r\nX-IRMC-TYPE:INET\r\nX-IRMC-BOX:INBOX\r\n"
      "BEGIN:VBODY\r\nDate: Wed, 11 Feb 2004 05:15:55 +0900\r\nFrom: abc\r\nSubject: note-000\r\n"
      "To: xyz\r\n" +
      kHeaderTail + "line1\r\nline2\r\n\r\nEND:VBODY\r\nEND:VMSG\r\n";
  EXPECT_EQ(m.curMessage(), expected);
  EXPECT_EQ(m.curMessage().size(), 314u);
}

TEST(Message, RecordWithoutBodyHasTwoEmptyLinesBetweenHeaderAndFooter) {
  Message m;
  m.NewFile();
  ASSERT_TRUE(m.AddHeader(noteInputs()));
  m.AddFooter();
  const std::string& r = m.curMessage();
  EXPECT_NE(r.find(kHeaderTail + "\r\nEND:VBODY\r\nEND:VMSG\r\n"), std::string::npos);
  EXPECT_EQ(r.size(), 314u - 14u);
}

TEST(Message, HeaderEncodesFieldsToCodePage932) {
  HeaderInputs in = noteInputs();
  in.subject = u"変換";
  in.serialOn = false;
  in.from = u"ｱ";
  Message m;
  ASSERT_TRUE(m.AddHeader(in));
  EXPECT_NE(m.curMessage().find("Subject: \x95\xCF\x8A\xB7\r\n"), std::string::npos);
  EXPECT_NE(m.curMessage().find("From: \xB1\r\n"), std::string::npos);
}

TEST(Message, SerialCountsAcrossRecordsOnlyWhenOn) {
  HeaderInputs in = noteInputs();
  in.subject = u"abc";
  Message m;
  std::vector<std::string> subjects;
  for (bool on : {true, true, false, true}) {
    in.serialOn = on;
    m.NewFile();
    ASSERT_TRUE(m.AddHeader(in));
    const std::string& r = m.curMessage();
    const auto at = r.find("Subject: ");
    subjects.push_back(r.substr(at, r.find("\r\n", at) - at));
  }
  EXPECT_EQ(subjects, (std::vector<std::string>{"Subject: abc-000", "Subject: abc-001", "Subject: abc",
                                                "Subject: abc-002"}));
  EXPECT_EQ(m.subjectSerial(), 3);
}

TEST(Message, EmptySubjectWithoutSerialKeepsTrailingSpace) {
  HeaderInputs in = noteInputs();
  in.subject.clear();
  in.serialOn = false;
  Message m;
  ASSERT_TRUE(m.AddHeader(in));
  EXPECT_NE(m.curMessage().find("\r\nSubject: \r\n"), std::string::npos);
}

TEST(Message, SerialPastLimitIsRefusedWithoutTouchingTheBuffer) {
  Message m;
  m.setSubjectSerial(Message::kMaxSerial);
  ASSERT_TRUE(m.AddHeader(noteInputs()));
  EXPECT_NE(m.curMessage().find("Subject: note-32767\r\n"), std::string::npos);
  m.NewFile();
  m.AddText(std::string_view("kept"));
  EXPECT_FALSE(m.AddHeader(noteInputs()));
  EXPECT_EQ(m.curMessage(), "kept\r\n");

  // With numbering off the header needs no serial and still works.
  HeaderInputs off = noteInputs();
  off.serialOn = false;
  EXPECT_TRUE(m.AddHeader(off));
  EXPECT_THROW(m.setSubjectSerial(Message::kMaxSerial + 1), std::out_of_range);
  EXPECT_THROW(m.setSubjectSerial(-1), std::out_of_range);
}

TEST(Message, BodyBytesPassThroughUntouched) {
  const std::string raw("\x00\xFF\x81\n\x80", 5);
  Message m;
  m.AddText(std::string_view(raw));
  EXPECT_EQ(m.curMessage(), raw + "\r\n");
}

struct SerialCase {
  int number;
  std::u16string pattern;
  std::u16string expected;
};

class RenderSerial : public ::testing::TestWithParam<SerialCase> {};

TEST_P(RenderSerial, FollowsThePattern) {
  const SerialCase& c = GetParam();
  EXPECT_EQ(renderSerial(c.number, c.pattern), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Patterns, RenderSerial,
                         ::testing::Values(SerialCase{0, u"000", u"000"}, SerialCase{7, u"000", u"007"},
                                           SerialCase{1234, u"000", u"1234"},
                                           SerialCase{32767, u"0000", u"32767"}, SerialCase{0, u"", u"0"},
                                           SerialCase{42, u"", u"42"}, SerialCase{7, u"##0", u"7"},
                                           SerialCase{0, u"##0", u"0"}, SerialCase{7, u"#", u"7"},
                                           SerialCase{7, u"No.000", u"No7.000"},
                                           SerialCase{123, u"0-0", u"12-3"}, SerialCase{5, u"(00)", u"(05)"},
                                           SerialCase{5, u"巻00", u"巻05"}, SerialCase{9, u"abc", u"abc"}),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

}  // namespace
}  // namespace orvella

namespace orvella {
namespace {

// The byte count of a record starts at the three MIME lines with their line ends.
TEST(MessageLayout, CountedHeaderBytesAreTheThreeMimeLines) { EXPECT_EQ(kCountedHeaderBytes, 97); }

}  // namespace
}  // namespace orvella
