#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include "window_test.hpp"

namespace orvella::testing {
namespace {

QString textOf(QWidget* w) {
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* t = qobject_cast<QPlainTextEdit*>(w)) return t->toPlainText();
  return {};
}

const char* qtClassOf(window::Kind kind) {
  switch (kind) {
    case window::Kind::Label:
      return "QLabel";
    case window::Kind::TextBox:
      return "QLineEdit";
    case window::Kind::RecordView:
      return "QPlainTextEdit";
    case window::Kind::CommandButton:
      return "QPushButton";
    case window::Kind::CheckBox:
      return "QCheckBox";
    case window::Kind::VScrollBar:
      return "QScrollBar";
    case window::Kind::ProgressBar:
      return "QProgressBar";
    case window::Kind::Line:
      return "QFrame";
  }
  return "";
}

// The window as it opens: every row of the table, and only those, made as the row says.
TEST_F(QtWindowTest, EveryControlOfTheTableOpensWithItsKindPlaceTextTooltipAndState) {
  for (const window::ControlRow& row : window::controlTable()) {
    SCOPED_TRACE(std::string(row.name));
    QWidget* w = get(row.name);
    EXPECT_TRUE(w->inherits(qtClassOf(row.kind))) << w->metaObject()->className();
    const QRect place(row.place.left / 15, row.place.top / 15, row.place.width / 15, row.place.height / 15);
    if (row.traits & window::kFitsWidestDate) {
      // It may grow to the right, by what its font needs (see DateReadsWhole).
      EXPECT_EQ(w->geometry().topLeft(), place.topLeft());
      EXPECT_EQ(w->height(), place.height());
      EXPECT_GE(w->width(), place.width());
      EXPECT_LE(w->geometry().right(), window->width() - 1);
    } else {
      EXPECT_EQ(w->geometry(), place);
    }
    // Form_Load has run: From holds the sender and its counter counts it.
    if (row.id != window::Control::txtFrom && row.id != window::Control::labFrom) {
      EXPECT_EQ(textOf(w), qs(row.text));
    }
    EXPECT_EQ(w->toolTip(), qs(row.tip));
    EXPECT_EQ(w->isEnabled(), (row.traits & window::kDisabled) == 0);
    EXPECT_EQ(w->font().weight() == QFont::Bold, (row.traits & window::kBold) != 0);
    if (auto* c = qobject_cast<QCheckBox*>(w)) {
      EXPECT_EQ(c->isChecked(), (row.traits & window::kChecked) != 0);
    }
    if (auto* f = qobject_cast<QFrame*>(w); f && row.kind == window::Kind::Line) {
      EXPECT_EQ(f->frameShape(), QFrame::HLine);
    }
    if (auto* s = qobject_cast<QAbstractSlider*>(w)) {
      EXPECT_EQ(s->maximum(), row.maximum);
    }
    if (auto* b = qobject_cast<QProgressBar*>(w)) {
      EXPECT_EQ(b->maximum(), row.maximum);
    }
  }
  EXPECT_EQ(window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(),
            qsizetype(window::kControlCount));
}

TEST_F(QtWindowTest, WindowIsTitledFixedAndHasNoMaximiseButton) {
  EXPECT_EQ(window->objectName(), "frmMain");
  EXPECT_EQ(window->windowTitle(), "Orvella for A5502K");
  EXPECT_EQ(window->size(), QSize(305, 275));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  const Qt::WindowFlags flags = window->windowFlags();
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
}

TEST_F(QtWindowTest, OpensInTheMiddleOfItsScreen) {
  window->centreOnScreen();
  const QRect available = window->screen()->availableGeometry();
  EXPECT_LE((window->frameGeometry().center() - available.center()).manhattanLength(), 1);
}

TEST_F(QtWindowTest, IconIsBlackStrokesOnWhiteAtEveryRenderedSize) {
  const QIcon icon = window->windowIcon();
  for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
    SCOPED_TRACE(side);
    EXPECT_TRUE(icon.availableSizes().contains(QSize(side, side)));
    const QImage image = icon.pixmap(QSize(side, side)).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(side, side));
    int black = 0, white = 0, clear = 0, coloured = 0;
    for (int y = 0; y < side; ++y) {
      for (int x = 0; x < side; ++x) {
        const QRgb px = image.pixel(x, y);
        if (qAlpha(px) == 0) {
          ++clear;
          continue;
        }
        coloured += qRed(px) != qGreen(px) || qGreen(px) != qBlue(px);
        black += qGray(px) < 64;
        white += qGray(px) > 192;
      }
    }
    // Shades of grey only where the strokes are smoothed; a frame of clear pixels around.
    EXPECT_EQ(coloured, 0);
    EXPECT_GT(black, side * side / 10);
    EXPECT_GT(white, side * side / 4);
    EXPECT_GT(clear, 0);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
  }
}

TEST_F(QtWindowTest, BoldLabelsUseTheGothicStandInAtNinePoints) {
  for (const window::ControlRow& row : window::controlTable()) {
    if (!(row.traits & window::kBold)) continue;
    SCOPED_TRACE(std::string(row.name));
    const QFont font = get(row.name)->font();
    EXPECT_EQ(font.family(), QString::fromUtf8("ＭＳ Ｐゴシック"));
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_EQ(QFontInfo(font).family(), "IPAPGothic");
  }
  EXPECT_EQ(QFontInfo(edit("txtSubject")->font()).family(), "IPAPGothic");
}

TEST_F(QtWindowTest, RecordViewLiesBelowTheClientAreaButTakesTheFocus) {
  auto* all = get<QPlainTextEdit>("txtAll");
  EXPECT_GE(all->geometry().top(), window->height());
  EXPECT_FALSE(all->isReadOnly());
  EXPECT_NE(all->focusPolicy() & Qt::TabFocus, 0);
  EXPECT_TRUE(all->tabChangesFocus());
}

TEST_F(QtWindowTest, SpinnerRunsFromZeroAtTheTopByOne) {
  QScrollBar* s = spinner();
  EXPECT_EQ(s->orientation(), Qt::Vertical);
  EXPECT_EQ(s->minimum(), 0);
  EXPECT_EQ(s->singleStep(), 1);
  EXPECT_EQ(s->pageStep(), 1);
  EXPECT_FALSE(s->invertedAppearance());
  EXPECT_EQ(s->value(), 0);
}

TEST_F(QtWindowTest, ClockTicksEverySecondIntoTheDateField) {
  auto* timer = window->findChild<QTimer*>("Timer1");
  ASSERT_NE(timer, nullptr);
  EXPECT_TRUE(timer->isActive());
  EXPECT_EQ(timer->interval(), 1000);
  EXPECT_TRUE(edit("txtDate")->text().isEmpty());
  QTest::qWait(1200);
  EXPECT_EQ(edit("txtDate")->text(), kFixedDate);
}

// Focus moves with real Tab presses, so disabled controls and the bar must be skipped.
std::vector<std::string> tabCycle(QWidget& window, int presses) {
  std::vector<std::string> names;
  for (int i = 0; i < presses; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    names.push_back(QApplication::focusWidget()->objectName().toStdString());
  }
  (void)window;
  return names;
}

TEST_F(QtWindowTest, TabOrderSkipsDisabledFieldsAndReachesTheHiddenRecordView) {
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  ASSERT_EQ(QApplication::focusWidget(), get("Command2"));

  const std::vector<std::string> expected = {"txtSubject", "Check1", "Check2",       "txtFormat",
                                             "txtFrom",    "txtTo",  "txtMaxLength", "VScroll1",
                                             "comOptions", "txtAll", "Command2"};
  EXPECT_EQ(tabCycle(*window, 11), expected);

  // Once a file is chosen the convert button joins the cycle after the spinner.
  chooseFile(writeInput("a.txt", "abc"));
  get("Command2")->setFocus();
  const std::vector<std::string> withConvert = {"txtSubject", "Check1",     "Check2",       "txtFormat",
                                                "txtFrom",    "txtTo",      "txtMaxLength", "VScroll1",
                                                "comOptions", "comConvert", "txtAll",       "Command2"};
  EXPECT_EQ(tabCycle(*window, 12), withConvert);
}

}  // namespace
}  // namespace orvella::testing
