// What a person sees: boxes that show their text from its first character, an estimate that can
// always be read whole, header boxes that take any length, the version in the about text.
#include <QImage>
#include <QPalette>
#include <QTextLayout>

#include "core/version.hpp"
#include "window_test.hpp"

namespace orvella::testing {
namespace {

namespace fs = std::filesystem;

// The box as painted, against a twin wide enough for the whole text: the pixels inside the box
// must match up to its right border, so nothing is scrolled away and nothing cut. The frame's
// rounded right corners differ by nature and are left out.
void expectShownFromStart(QLineEdit* box, int columns) {
  QLineEdit twin;
  twin.setFont(box->font());
  twin.setEnabled(box->isEnabled());
  twin.resize(box->width() + 400, box->height());
  twin.setText(box->text());
  twin.setCursorPosition(0);
  const QImage shown = box->grab().toImage();
  const QImage whole = twin.grab().toImage();
  ASSERT_EQ(shown.height(), whole.height());
  const int h = shown.height();
  const int w = shown.width();
  int differing = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < columns; ++x) {
      const bool corner = x >= w - 3 && (y <= 1 || y >= h - 2);
      if (!corner) differing += shown.pixel(x, y) != whole.pixel(x, y);
    }
  }
  EXPECT_EQ(differing, 0) << box->objectName().toStdString() << ": " << box->text().toStdString();
}

TEST_F(QtWindowTest, DateReadsWholeFromItsFirstCharacter) {
  using namespace std::chrono;
  // The widest names of this font's stamps: Wednesday in May, and one of the longest otherwise.
  const system_clock::time_point moments[] = {
      sys_days{year{2026} / December / 8} + hours{14} + minutes{59} + seconds{59},
      sys_days{year{2024} / May / 1} + hours{14} + minutes{48} + seconds{48},
      sys_days{year{2024} / May / 27} + hours{14}};
  for (const system_clock::time_point moment : moments) {
    window->form().setDateSource([moment] { return moment; });
    window->form().Timer1_Timer();
    SCOPED_TRACE(edit("txtDate")->text().toStdString());
    QLineEdit* date = edit("txtDate");
    expectShownFromStart(date, date->width() - 1);
  }
}

TEST_F(QtWindowTest, FileBoxShowsALongPathFromItsStart) {
  const fs::path deep = dir / std::string(120, 'd') / "小説.txt";
  fs::create_directories(deep.parent_path());
  writeFile(deep, "abc");
  chooseFile(deep);
  QLineEdit* name = edit("txtFileName");
  EXPECT_EQ(name->text(), qpath(deep));
  EXPECT_EQ(name->cursorPosition(), 0);
  expectShownFromStart(name, name->width() / 2);
}

// A large file's estimate is wider than the window: it is shown whole on two lines, the second
// clear of the convert button and above the options button.
TEST_F(QtWindowTest, AnEstimateWiderThanTheWindowWrapsClearOfTheConvertButton) {
  QLabel* info = label("labFileInfo");
  const QRect designed = info->geometry();
  const QRect button = get("comConvert")->geometry();

  chooseFile(writeInput("small.txt", std::string(25000, 'a')));
  EXPECT_EQ(info->text(), QString::fromUtf8("25000bytes. だいたい3個以上のファイルが作成されます。"));
  EXPECT_EQ(info->geometry(), designed);  // one line keeps the designed place

  for (std::uintmax_t size : {1234567ULL, 12345678901ULL}) {
    SCOPED_TRACE(size);
    const fs::path big = dir / "big.txt";
    writeFile(big, "");
    fs::resize_file(big, size);
    chooseFile(big);
    ASSERT_TRUE(info->text().endsWith(QString::fromUtf8("個以上のファイルが作成されます。")));
    // Every line is inside the label, and the label keeps to the window.
    EXPECT_GE(info->height(), info->heightForWidth(info->width()));
    EXPECT_GT(info->height(), designed.height());
    EXPECT_EQ(info->geometry().topLeft(), designed.topLeft());
    EXPECT_EQ(info->width(), designed.width());
    // Where the label reaches the button's height, its last line ends left of the button.
    QTextLayout layout(info->text(), info->font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    double lastWidth = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(info->contentsRect().width());
      lastWidth = line.naturalTextWidth();
    }
    layout.endLayout();
    EXPECT_EQ(layout.lineCount(), 2);
    EXPECT_LT(info->geometry().bottom(), get("comOptions")->geometry().top());
    if (info->geometry().bottom() >= button.top()) {
      EXPECT_LT(lastWidth, button.left());
    }
  }
}

TEST_F(QtWindowTest, HeaderBoxesTakeAnyLengthAndTheCountersTurnRed) {
  const QString longText(40000, u'x');
  for (auto [box, counter] :
       {std::pair{"txtSubject", "labSubject"}, {"txtFrom", "labFrom"}, {"txtTo", "labTo"}}) {
    SCOPED_TRACE(box);
    edit(box)->setText(longText);
    EXPECT_EQ(edit(box)->text().size(), longText.size());
    EXPECT_EQ(label(counter)->text(), "40000bytes");
    EXPECT_EQ(label(counter)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  }
  edit("txtFormat")->setText(longText);
  EXPECT_EQ(edit("txtFormat")->text().size(), longText.size());
}

TEST_F(QtWindowTest, TheAboutTextGivesTheVersion) {
  EXPECT_EQ(window->toolTip().toStdString(), "Orvella " + std::string(kVersion));
}

}  // namespace
}  // namespace orvella::testing
