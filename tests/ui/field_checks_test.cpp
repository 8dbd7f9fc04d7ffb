#include <QTest>

#include "window_test.hpp"

namespace orvella::testing {
namespace {

const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);

QColor colourOf(QLabel* label) { return label->palette().color(QPalette::WindowText); }

struct CounterRow {
  const char* field;
  const char* counter;
  bool serialOn;       // Check2, for the Subject
  const char* format;  // txtFormat, for the Subject
  QString text;
  const char* shown;
  bool over;
};

const CounterRow kCounterRows[] = {
    {"txtFrom", "labFrom", true, "000", QString(64, u'a'), "64bytes", false},
    {"txtFrom", "labFrom", true, "000", QString(65, u'a'), "65bytes", true},
    {"txtTo", "labTo", true, "000", QString(64, u'b'), "64bytes", false},
    {"txtTo", "labTo", true, "000", QString(65, u'b'), "65bytes", true},
    {"txtTo", "labTo", true, "000", QString(32, u'あ'), "64bytes", false},
    {"txtTo", "labTo", true, "000", QString(33, u'あ'), "66bytes", true},
    {"txtFrom", "labFrom", true, "000", QString(64, u'ｱ'), "64bytes", false},  // half-width: 1 each
    {"txtFrom", "labFrom", true, "000", QString(65, u'ｱ'), "65bytes", true},
    {"txtSubject", "labSubject", false, "000", QString(100, u'x'), "100bytes", false},
    {"txtSubject", "labSubject", false, "000", QString(101, u'x'), "101bytes", true},
    {"txtSubject", "labSubject", false, "000", QString(50, u'漢'), "100bytes", false},
    {"txtSubject", "labSubject", true, "000", QString(96, u'x'), "96bytes", false},
    {"txtSubject", "labSubject", true, "000", QString(97, u'x'), "97bytes", true},
    {"txtSubject", "labSubject", true, "000", QString(48, u'題'), "96bytes", false},
    {"txtSubject", "labSubject", true, "", QString(99, u'x'), "99bytes", false},
    {"txtSubject", "labSubject", true, "", QString(100, u'x'), "100bytes", true},
    {"txtSubject", "labSubject", true, "〇〇〇", QString(93, u'x'), "93bytes", false},
    {"txtSubject", "labSubject", true, "〇〇〇", QString(94, u'x'), "94bytes", true},
    {"txtFrom", "labFrom", true, "000", QString(), "0bytes", false},
};

TEST_F(WindowTest, CountersShowShiftJisBytesAndTurnRedPastTheirLimit) {
  for (const CounterRow& row : kCounterRows) {
    SCOPED_TRACE(std::string(row.field) + " " + row.shown);
    check("Check2")->setChecked(row.serialOn);
    edit("txtFormat")->setText(QString::fromUtf8(row.format));
    edit(row.field)->setText(QStringLiteral("-"));  // so the row's text is always a change
    edit(row.field)->setText(row.text);
    EXPECT_EQ(label(row.counter)->text(), QString::fromUtf8(row.shown));
    EXPECT_EQ(colourOf(label(row.counter)), row.over ? kRed : kBlack);
    EXPECT_EQ(window->fieldsOk(), !row.over);
  }
}

TEST_F(WindowTest, TypedJapaneseIsCountedLikeSetText) {
  QLineEdit* to = edit("txtTo");
  for (int i = 0; i < 33; ++i) {
    QTest::sendKeyEvent(QTest::Click, to, Qt::Key_unknown, QString(u'あ'), Qt::NoModifier);
    if (i == 31) {
      EXPECT_EQ(label("labTo")->text(), "64bytes");
      EXPECT_TRUE(window->fieldsOk());
    }
  }
  EXPECT_EQ(to->text(), QString(33, u'あ'));
  EXPECT_EQ(label("labTo")->text(), "66bytes");
  EXPECT_EQ(colourOf(label("labTo")), kRed);
  EXPECT_FALSE(window->fieldsOk());
}

TEST_F(WindowTest, OpensWithTheSenderCountedAndTheChecksPassing) {
  EXPECT_EQ(label("labFrom")->text(), "18bytes");
  EXPECT_EQ(colourOf(label("labFrom")), kBlack);
  EXPECT_EQ(label("labTo")->text(), "0bytes");
  EXPECT_EQ(label("labSubject")->text(), "0bytes");
  EXPECT_TRUE(window->fieldsOk());
}

TEST_F(WindowTest, TheLastCheckToRunDecidesAlone) {
  edit("txtFrom")->setText(QString(65, u'f'));
  EXPECT_FALSE(window->fieldsOk());
  edit("txtTo")->setText(QStringLiteral("to@example.jp"));
  EXPECT_EQ(colourOf(label("labFrom")), kRed);
  EXPECT_EQ(colourOf(label("labTo")), kBlack);
  EXPECT_TRUE(window->fieldsOk());

  edit("txtFrom")->setText(QString(70, u'f'));
  EXPECT_FALSE(window->fieldsOk());
  EXPECT_EQ(colourOf(label("labTo")), kBlack);
}

TEST_F(WindowTest, TickingSerialNumbersDoesNotRecheckTheSubjectUntilItChanges) {
  check("Check2")->setChecked(false);
  edit("txtSubject")->setText(QString(100, u's'));
  EXPECT_EQ(colourOf(label("labSubject")), kBlack);
  QTest::mouseClick(check("Check2"), Qt::LeftButton);
  ASSERT_TRUE(check("Check2")->isChecked());
  EXPECT_EQ(colourOf(label("labSubject")), kBlack);
  EXPECT_TRUE(window->fieldsOk());

  edit("txtSubject")->setText(QString(99, u's'));
  EXPECT_EQ(colourOf(label("labSubject")), kRed);
  EXPECT_FALSE(window->fieldsOk());
}

TEST_F(WindowTest, AFormatOfAHundredBytesMakesEvenAnEmptySubjectTooLong) {
  edit("txtFormat")->setText(QString(100, u'0'));
  edit("txtSubject")->setText(QStringLiteral("x"));
  edit("txtSubject")->setText(QString());
  EXPECT_EQ(label("labSubject")->text(), "0bytes");
  EXPECT_EQ(colourOf(label("labSubject")), kRed);
  EXPECT_FALSE(window->fieldsOk());
}

}  // namespace
}  // namespace orvella::testing
