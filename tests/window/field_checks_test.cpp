// The byte counters beside Subject, From and To, and the check every convert makes of all three.
#include "window/window_texts.hpp"
#include "window_test.hpp"

namespace orvella::testing {
namespace {

using C = Control;

struct CounterRow {
  C field;
  C counter;
  bool serialOn;           // Check2, for the Subject
  const char16_t* format;  // txtFormat, for the Subject
  std::u16string text;
  const char16_t* shown;
  bool over;
};

const CounterRow kCounterRows[] = {
    {C::txtFrom, C::labFrom, true, u"000", std::u16string(64, u'a'), u"64bytes", false},
    {C::txtFrom, C::labFrom, true, u"000", std::u16string(65, u'a'), u"65bytes", true},
    {C::txtTo, C::labTo, true, u"000", std::u16string(64, u'b'), u"64bytes", false},
    {C::txtTo, C::labTo, true, u"000", std::u16string(65, u'b'), u"65bytes", true},
    {C::txtTo, C::labTo, true, u"000", std::u16string(32, u'あ'), u"64bytes", false},
    {C::txtTo, C::labTo, true, u"000", std::u16string(33, u'あ'), u"66bytes", true},
    {C::txtFrom, C::labFrom, true, u"000", std::u16string(64, u'ｱ'), u"64bytes",
     false},  // half-width: 1 each
    {C::txtFrom, C::labFrom, true, u"000", std::u16string(65, u'ｱ'), u"65bytes", true},
    {C::txtSubject, C::labSubject, false, u"000", std::u16string(100, u'x'), u"100bytes", false},
    {C::txtSubject, C::labSubject, false, u"000", std::u16string(101, u'x'), u"101bytes", true},
    {C::txtSubject, C::labSubject, false, u"000", std::u16string(50, u'漢'), u"100bytes", false},
    {C::txtSubject, C::labSubject, true, u"000", std::u16string(96, u'x'), u"96bytes", false},
    {C::txtSubject, C::labSubject, true, u"000", std::u16string(97, u'x'), u"97bytes", true},
    {C::txtSubject, C::labSubject, true, u"000", std::u16string(48, u'題'), u"96bytes", false},
    {C::txtSubject, C::labSubject, true, u"", std::u16string(99, u'x'), u"99bytes", false},
    {C::txtSubject, C::labSubject, true, u"", std::u16string(100, u'x'), u"100bytes", true},
    {C::txtSubject, C::labSubject, true, u"〇〇〇", std::u16string(93, u'x'), u"93bytes", false},
    {C::txtSubject, C::labSubject, true, u"〇〇〇", std::u16string(94, u'x'), u"94bytes", true},
    {C::txtFrom, C::labFrom, true, u"000", std::u16string(), u"0bytes", false},
};

TEST_F(WindowTest, CountersShowShiftJisBytesAndTurnRedPastTheirLimit) {
  for (const CounterRow& row : kCounterRows) {
    SCOPED_TRACE(std::string(window::rowOf(row.field).name) + " " + u8(row.shown));
    face.setChecked(C::Check2, row.serialOn);
    face.type(C::txtFormat, row.format);
    face.type(row.field, u"-");  // so the row's text is always a change
    face.type(row.field, row.text);
    EXPECT_EQ(text(row.counter), row.shown);
    EXPECT_EQ(red(row.counter), row.over);
  }
}

TEST_F(WindowTest, OpensWithTheSenderCountedAndNothingRed) {
  EXPECT_EQ(text(C::labFrom), u"18bytes");
  EXPECT_EQ(text(C::labTo), u"0bytes");
  EXPECT_EQ(text(C::labSubject), u"0bytes");
  for (const C counter : {C::labFrom, C::labTo, C::labSubject}) EXPECT_FALSE(red(counter));
}

// Every convert checks all three fields, each against its own limit, whatever was typed last; a
// red counter always blocks.
TEST_F(WindowTest, EveryConvertChecksSubjectFromAndToEachAgainstItsOwnLimit) {
  const struct {
    const char* what;
    std::u16string subject, from, to;
    bool serialOn;
    bool refused;
  } rows[] = {
      {"all within", u"s", u"f", u"t", true, false},
      {"From over, typed first", u"s", std::u16string(65, u'f'), u"t", true, true},
      {"To over", u"s", u"f", std::u16string(65, u't'), true, true},
      {"Subject over", std::u16string(101, u's'), u"f", u"t", false, true},
      {"Subject over once numbered", std::u16string(97, u's'), u"f", u"t", true, true},
      {"Subject at its limit when not numbered", std::u16string(100, u's'), u"f", u"t", false, false},
  };
  chooseFile(writeInput("a.txt", "abc\r\n"));
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    dialogs.boxes.clear();
    dialogs.folderTitles.clear();
    face.setChecked(C::Check2, false);
    // The field that is over is typed before the others, and Check2 ticked after the Subject.
    face.type(C::txtFrom, row.from);
    face.type(C::txtTo, row.to);
    face.type(C::txtSubject, row.subject);
    face.setChecked(C::Check2, row.serialOn);
    face.click(C::comConvert);  // the folder dialog answers as a cancel

    EXPECT_EQ(dialogs.folderTitles.empty(), row.refused);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    if (row.refused) {
      EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Warning);
      EXPECT_EQ(dialogs.boxes[0].text, window::texts::kFieldsTooLong);
      EXPECT_TRUE(red(C::labSubject) || red(C::labFrom) || red(C::labTo));  // what blocks shows red
    }
    EXPECT_EQ(text(C::txtStart), u"0000");
  }
}

TEST_F(WindowTest, TickingSerialNumbersDoesNotRecheckTheSubjectUntilItChanges) {
  face.setChecked(C::Check2, false);
  face.type(C::txtSubject, std::u16string(100, u's'));
  EXPECT_FALSE(red(C::labSubject));
  face.click(C::Check2);
  ASSERT_TRUE(face.checked(C::Check2));
  EXPECT_FALSE(red(C::labSubject));

  face.type(C::txtSubject, std::u16string(99, u's'));
  EXPECT_TRUE(red(C::labSubject));
}

TEST_F(WindowTest, AFormatOfAHundredBytesMakesEvenAnEmptySubjectTooLong) {
  face.type(C::txtFormat, std::u16string(100, u'0'));
  face.type(C::txtSubject, u"x");
  face.type(C::txtSubject, u"");
  EXPECT_EQ(text(C::labSubject), u"0bytes");
  EXPECT_TRUE(red(C::labSubject));
}

}  // namespace
}  // namespace orvella::testing
