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

struct ControlRow {
  const char* name;
  const char* kind;
  int left, top, width, height;  // twips
  const char* text;              // caption or start text; nullptr where there is none
  const char* tip;               // nullptr: no tooltip
  bool enabled;
};

// The window as it opens.
const ControlRow kControls[] = {
    {"Label7", "QLabel", 0, 0, 2295, 255, "変換するテキストファイル:", nullptr, true},
    {"txtFileName", "QLineEdit", 0, 240, 4305, 270, "", "ファイル名です", false},
    {"Command2", "QPushButton", 4320, 240, 255, 255, "...", "テキストファイルを開きます", true},
    {"Label3", "QLabel", 0, 750, 855, 255, "Subject:", nullptr, true},
    {"txtSubject", "QLineEdit", 840, 720, 3015, 270, "", "メールの題名です", true},
    {"labSubject", "QLabel", 3840, 750, 735, 255, "0bytes", nullptr, true},
    {"Check1", "QCheckBox", 840, 990, 2535, 255, "ファイル名をSubjectにする",
     "Subjectをファイルの名前にします", true},
    {"Check2", "QCheckBox", 840, 1230, 1935, 255, "Subjectに連番を付加",
     "変換時Subjectに通し番号を付けます", true},
    {"labSubjectFormat", "QLabel", 2880, 1260, 735, 255, "Format:", nullptr, true},
    {"txtFormat", "QLineEdit", 3600, 1230, 975, 270, "000", "通し番号のフォーマットです", true},
    {"Label1", "QLabel", 0, 1590, 855, 255, "From:", nullptr, true},
    {"txtFrom", "QLineEdit", 840, 1560, 3015, 270, "orvella@example.jp", "送信者のメールアドレスです", true},
    {"labFrom", "QLabel", 3840, 1590, 735, 255, "18bytes", nullptr, true},
    {"Label2", "QLabel", 0, 1830, 855, 255, "To:", nullptr, true},
    {"txtTo", "QLineEdit", 840, 1800, 3015, 270, "", "受信者のメールアドレスです", true},
    {"labTo", "QLabel", 3840, 1830, 735, 255, "0bytes", nullptr, true},
    {"Label4", "QLabel", 0, 2190, 855, 255, "Date:", nullptr, true},
    {"txtDate", "QLineEdit", 840, 2160, 3015, 270, "", "現在の日付です", false},
    {"Label5", "QLabel", 0, 2670, 1215, 255, "最大バイト数:", nullptr, true},
    {"txtMaxLength", "QLineEdit", 1200, 2640, 975, 270, "10000",
     "登録可能なvmgファイルの最大バイト数です", true},
    {"Label6", "QLabel", 2280, 2670, 1335, 255, "連番開始番号:", nullptr, true},
    {"txtStart", "QLineEdit", 3720, 2640, 615, 270, "0000", "vmgファイルの開始番号を指定します", false},
    {"VScroll1", "QScrollBar", 4335, 2640, 225, 255, nullptr, nullptr, true},
    {"labFileInfo", "QLabel", 0, 3000, 4575, 255, "", nullptr, true},
    {"comConvert", "QPushButton", 2160, 3360, 2415, 375, "変換", "vmgファイルを作成します", false},
    {"ProgressBar1", "QProgressBar", 0, 3840, 4575, 300, nullptr, nullptr, true},
    {"txtAll", "QPlainTextEdit", 0, 4200, 4575, 1455, "", nullptr, true},
};

QString textOf(QWidget* w) {
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* t = qobject_cast<QPlainTextEdit*>(w)) return t->toPlainText();
  return QStringLiteral("<no text>");
}

TEST_F(WindowTest, EveryControlOpensWithItsKindPlaceTextTooltipAndState) {
  for (const ControlRow& row : kControls) {
    SCOPED_TRACE(row.name);
    QWidget* w = get(row.name);
    EXPECT_TRUE(w->inherits(row.kind)) << w->metaObject()->className();
    const QRect place(row.left / 15, row.top / 15, row.width / 15, row.height / 15);
    if (std::string_view(row.name) == "txtDate") {
      // The one box that may grow to the right, by what its font needs (see DateReadsWhole).
      EXPECT_EQ(w->geometry().topLeft(), place.topLeft());
      EXPECT_EQ(w->height(), place.height());
      EXPECT_GE(w->width(), place.width());
      EXPECT_LE(w->geometry().right(), window->width() - 1);
    } else {
      EXPECT_EQ(w->geometry(), place);
    }
    if (row.text) {
      EXPECT_EQ(textOf(w), QString::fromUtf8(row.text));
    }
    EXPECT_EQ(w->toolTip(), row.tip ? QString::fromUtf8(row.tip) : QString());
    EXPECT_EQ(w->isEnabled(), row.enabled);
  }
  EXPECT_TRUE(check("Check1")->isChecked());
  EXPECT_TRUE(check("Check2")->isChecked());
}

TEST_F(WindowTest, WindowIsTitledFixedAndHasNoMaximiseButton) {
  EXPECT_EQ(window->objectName(), "frmMain");
  EXPECT_EQ(window->windowTitle(), "Orvella for A5502K");
  EXPECT_EQ(window->size(), QSize(305, 275));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  const Qt::WindowFlags flags = window->windowFlags();
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
}

TEST_F(WindowTest, OpensInTheMiddleOfItsScreen) {
  window->centreOnScreen();
  const QRect available = window->screen()->availableGeometry();
  EXPECT_LE((window->frameGeometry().center() - available.center()).manhattanLength(), 1);
}

TEST_F(WindowTest, IconIsBlackStrokesOnWhiteAtEveryRenderedSize) {
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

TEST_F(WindowTest, BoldLabelsUseTheGothicStandInAtNinePoints) {
  for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7",
                           "labSubjectFormat"}) {
    SCOPED_TRACE(name);
    const QFont font = label(name)->font();
    EXPECT_EQ(font.family(), QString::fromUtf8("ＭＳ Ｐゴシック"));
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_EQ(QFontInfo(font).family(), "IPAPGothic");
  }
  EXPECT_NE(label("labFrom")->font().weight(), QFont::Bold);
  EXPECT_EQ(QFontInfo(edit("txtSubject")->font()).family(), "IPAPGothic");
}

TEST_F(WindowTest, ThreeSeparatorLinesCrossTheWindow) {
  for (auto [name, top] : {std::pair{"Line2", 40}, {"Line1", 168}, {"Line3", 198}}) {
    SCOPED_TRACE(name);
    auto* line = get<QFrame>(name);
    EXPECT_EQ(line->frameShape(), QFrame::HLine);
    EXPECT_EQ(line->geometry(), QRect(0, top, 304, 1));
  }
}

TEST_F(WindowTest, RecordViewLiesBelowTheClientAreaButTakesTheFocus) {
  auto* all = get<QPlainTextEdit>("txtAll");
  EXPECT_GE(all->geometry().top(), window->height());
  EXPECT_FALSE(all->isReadOnly());
  EXPECT_NE(all->focusPolicy() & Qt::TabFocus, 0);
  EXPECT_TRUE(all->tabChangesFocus());
}

TEST_F(WindowTest, SpinnerRunsFromZeroAtTheTopToNineThousandNineHundredNinetyNine) {
  QScrollBar* s = spinner();
  EXPECT_EQ(s->orientation(), Qt::Vertical);
  EXPECT_EQ(s->minimum(), 0);
  EXPECT_EQ(s->maximum(), 9999);
  EXPECT_EQ(s->singleStep(), 1);
  EXPECT_EQ(s->pageStep(), 1);
  EXPECT_FALSE(s->invertedAppearance());
  EXPECT_EQ(s->value(), 0);
}

TEST_F(WindowTest, ClockTicksEverySecondIntoTheDateField) {
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

TEST_F(WindowTest, TabOrderSkipsDisabledFieldsAndReachesTheHiddenRecordView) {
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  ASSERT_EQ(QApplication::focusWidget(), get("Command2"));

  const std::vector<std::string> expected = {"txtSubject", "Check1", "Check2", "txtFormat",
                                             "txtFrom",    "txtTo",  "txtMaxLength", "VScroll1",
                                             "txtAll",     "Command2"};
  EXPECT_EQ(tabCycle(*window, 10), expected);

  // Once a file is chosen the convert button joins the cycle after the spinner.
  chooseFile(writeInput("a.txt", "abc"));
  get("Command2")->setFocus();
  const std::vector<std::string> withConvert = {"txtSubject", "Check1",   "Check2",     "txtFormat",
                                                "txtFrom",    "txtTo",    "txtMaxLength", "VScroll1",
                                                "comConvert", "txtAll",   "Command2"};
  EXPECT_EQ(tabCycle(*window, 11), withConvert);
}

}  // namespace
}  // namespace orvella::testing
