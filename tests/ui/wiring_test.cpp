// The Qt face's wiring: what the user does with the widgets reaches frmMain, and what frmMain sets
// is painted. What the handlers do is tested once, in tests/window/.
#include <QApplication>
#include <QInputMethodEvent>
#include <QProcess>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include <map>

#include "convert/converter.hpp"
#include "core/cp932.hpp"
#include "window_test.hpp"

namespace orvella::testing {
namespace {

namespace fs = std::filesystem;

TEST_F(QtWindowTest, TypingAndInputMethodCommitsReachTheCounters) {
  QLineEdit* to = edit("txtTo");
  for (int i = 0; i < 33; ++i) {
    QTest::sendKeyEvent(QTest::Click, to, Qt::Key_unknown, QString(u'あ'), Qt::NoModifier);
  }
  EXPECT_EQ(to->text(), QString(33, u'あ'));
  EXPECT_EQ(label("labTo")->text(), "66bytes");
  EXPECT_EQ(label("labTo")->palette().color(QPalette::WindowText), QColor(255, 0, 0));

  // As an input method delivers text: one commit per character.
  QLineEdit* subject = edit("txtSubject");
  subject->setFocus();
  for (const QChar c : QString::fromUtf16(u"\u301C\u2212")) {
    QInputMethodEvent commit;
    commit.setCommitString(QString(c));
    QApplication::sendEvent(subject, &commit);
  }
  EXPECT_EQ(label("labSubject")->text(), "4bytes");
}

TEST_F(QtWindowTest, APastedLineBreakBecomesASpaceInEveryHeaderBox) {
  for (const char* name : {"txtSubject", "txtFrom", "txtTo", "txtFormat"}) {
    QLineEdit* field = edit(name);
    field->clear();
    field->insert(QStringLiteral("x\r\nEND:VMSG\ty"));
    EXPECT_EQ(field->text(), QStringLiteral("x  END:VMSG\ty")) << name;
  }
}

TEST_F(QtWindowTest, ClickingCheck1OrTheOptionsButtonRunsItsHandler) {
  chooseFile(writeInput("novel.txt", "abc\r\n"));
  EXPECT_EQ(edit("txtSubject")->text(), "novel");
  QTest::mouseClick(check("Check1"), Qt::LeftButton);
  EXPECT_EQ(edit("txtSubject")->text(), "");
  EXPECT_EQ(label("labSubject")->text(), "0bytes");
  dialogs.optionAnswers.push_back(window::ReadingChoices{});
  QTest::mouseClick(get("comOptions"), Qt::LeftButton);
  ASSERT_EQ(dialogs.optionsShown.size(), 1u);
  EXPECT_EQ(dialogs.owners.back().handle, static_cast<QWidget*>(window.get()));
}

TEST_F(QtWindowTest, SpinnerKeysMoveByOneWithinItsBoundsAndRewriteTheStartNumber) {
  QScrollBar* s = spinner();
  QTest::keyClick(s, Qt::Key_Up);
  EXPECT_EQ(edit("txtStart")->text(), "0000");
  for (int i = 0; i < 5; ++i) QTest::keyClick(s, Qt::Key_Down);
  EXPECT_EQ(edit("txtStart")->text(), "0005");
  QTest::keyClick(s, Qt::Key_Up);
  EXPECT_EQ(edit("txtStart")->text(), "0004");
  s->setValue(s->maximum());
  QTest::keyClick(s, Qt::Key_Down);
  EXPECT_EQ(edit("txtStart")->text(), "9999");
  s->setValue(s->maximum() + 1);
  EXPECT_EQ(edit("txtStart")->text(), "9999");
}

TEST_F(QtWindowTest, SpinnerArrowsLowerAtTheTopAndRaiseAtTheBottom) {
  window->show();
  QScrollBar* s = spinner();
  QStyleOptionSlider option;
  option.initFrom(s);
  option.subControls = QStyle::SC_All;
  option.orientation = s->orientation();
  option.minimum = s->minimum();
  option.maximum = s->maximum();
  option.singleStep = s->singleStep();
  option.pageStep = s->pageStep();
  const QRect down =
      s->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarAddLine, s);
  const QRect up = s->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSubLine, s);
  ASSERT_FALSE(down.isEmpty());
  ASSERT_LT(up.center().y(), down.center().y());

  QTest::mouseClick(s, Qt::LeftButton, {}, up.center());
  EXPECT_EQ(edit("txtStart")->text(), "0000");
  for (int i = 0; i < 5; ++i) QTest::mouseClick(s, Qt::LeftButton, {}, down.center());
  EXPECT_EQ(edit("txtStart")->text(), "0005");
  QTest::mouseClick(s, Qt::LeftButton, {}, up.center());
  EXPECT_EQ(edit("txtStart")->text(), "0004");
}

// The face adds nothing to the records: a run through the buttons writes orvella-convert's bytes.
TEST_F(QtWindowTest, AConversionThroughTheButtonsWritesTheCommandLinesRecords) {
  window->show();
  std::string lines;
  for (int i = 0; i < 40; ++i) lines += "line " + std::to_string(i) + " \x82\xa0\x95\xcf\x8a\xb7\r\n";
  const auto input = writeInput("小説.txt", lines);
  edit("txtMaxLength")->setText(QStringLiteral("300"));
  chooseFile(input);
  const fs::path out = dir / "out";
  fs::create_directories(out);
  dialogs.folders.push_back(out.u16string());
  std::vector<bool> convertEnabledAtBox;
  dialogs.onBox = [&](const ScriptedDialogs::Box&) {
    convertEnabledAtBox.push_back(get("comConvert")->isEnabled());
  };
  QTest::mouseClick(get("comConvert"), Qt::LeftButton);

  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, window::BoxIcon::Information);
  EXPECT_EQ(convertEnabledAtBox, std::vector<bool>{false});  // the lock list reached the widgets
  EXPECT_EQ(dialogs.owners.back().handle, static_cast<QWidget*>(window.get()));
  const auto written = recordsIn(out);
  ASSERT_GT(written.size(), 2u);
  EXPECT_EQ(spinner()->value(), int(written.size()));
  EXPECT_EQ(bar()->value(), window->form().bar().step());
  EXPECT_GT(bar()->value(), 0);
  const std::u16string last = cp932::decode(written.rbegin()->second);
  QString shown = qs(last);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  EXPECT_EQ(get<QPlainTextEdit>("txtAll")->toPlainText(), shown);

  const QString program =
      QString::fromLocal8Bit(qgetenv("ORVELLA_BIN_DIR")) + QStringLiteral("/orvella-convert");
  if (!QFileInfo::exists(program)) GTEST_SKIP() << "orvella-convert not found through ORVELLA_BIN_DIR";
  const fs::path cli = dir / "cli";
  fs::create_directories(cli);
  EXPECT_EQ(QProcess::execute(program, {QStringLiteral("-q"), QStringLiteral("-o"), qpath(cli),
                                        QStringLiteral("--date"), QString::fromUtf8(kFixedDate),
                                        QStringLiteral("--max-bytes"), QStringLiteral("300"), qpath(input)}),
            0);
  EXPECT_TRUE(recordsIn(cli) == written);
}

TEST_F(QtWindowTest, ClosingTheWindowMidRunWritesTheRecordInHandThenCloses) {
  window->show();
  window->form().setBreatheInterval(std::chrono::milliseconds(0));
  std::string lines;
  for (int i = 0; i < 30; ++i) lines += std::string(50, char('a' + i % 26)) + "\r\n";
  chooseFile(writeInput("a.txt", lines));
  edit("txtMaxLength")->setText(QStringLiteral("250"));  // two lines to a record
  const fs::path out = dir / "out";
  fs::create_directories(out);
  dialogs.folders.push_back(out.u16string());
  dialogs.onFolder = [&] { QTimer::singleShot(0, window.get(), [&] { window->close(); }); };
  window->form().comConvert_Click();

  EXPECT_EQ(recordsIn(out).size(), 1u);
  EXPECT_TRUE(dialogs.boxes.empty());
  QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 2000);
}

}  // namespace
}  // namespace orvella::testing
