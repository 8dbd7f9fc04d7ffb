#include <QApplication>
#include <QProcess>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <algorithm>
#include <map>

#include "convert/texts.hpp"
#include "core/cp932.hpp"
#include "platform/files.hpp"
#include "window_test.hpp"

namespace orvella::testing {
namespace {

using ui::BoxIcon;
namespace fs = std::filesystem;

const char* const kLockList[] = {"Check1",  "Command2", "txtSubject",   "Check2",   "txtFormat",
                                 "txtFrom", "txtTo",    "txtMaxLength", "VScroll1", "comConvert"};

// Lines of every kind the body copies as bytes: kana and kanji, half-width katakana, the
// user-defined area, bytes that are no Shift_JIS at all, CR and CR LF ends, no final end.
std::string sampleText(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) {
    text += "line " + std::to_string(i) + " \x82\xa0\x82\xa2\x95\xcf\x8a\xb7 \xb1\xb2";
    if (i % 7 == 3) text += "\xf0\x40";
    if (i % 11 == 5) text += "\x80\xff";
    text += (i % 5 == 4) ? "\r" : "\r\n";
  }
  return text + "last line without an end";
}

std::map<std::string, std::string> filesIn(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    files[entry.path().filename().string()] =
        entry.is_regular_file() ? readFile(entry.path()) : std::string("<not a file>");
  }
  return files;
}

class ConvertTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    fs::create_directories(out);
  }

  std::map<std::string, bool> lockStates() const {
    std::map<std::string, bool> enabled;
    for (const char* name : kLockList) enabled[name] = get(name)->isEnabled();
    return enabled;
  }
  static std::map<std::string, bool> allLock(bool enabled) {
    std::map<std::string, bool> states;
    for (const char* name : kLockList) states[name] = enabled;
    return states;
  }

  // The same conversion from the command line, into its own folder.
  std::map<std::string, std::string> fromCommandLine(const fs::path& input, const QStringList& extra) {
    const QByteArray binDir = qgetenv("ORVELLA_BIN_DIR");
    const QString program = QString::fromLocal8Bit(binDir) + QStringLiteral("/orvella-convert");
    if (binDir.isEmpty() || !QFileInfo::exists(program)) return {};
    const fs::path folder = dir / ("cli" + std::to_string(cliRuns++));
    fs::create_directories(folder);
    QStringList args = {QStringLiteral("-q"), QStringLiteral("-o"), qpath(folder),
                        QStringLiteral("--date"), QString::fromUtf8(kFixedDate)};
    args << extra << qpath(input);
    EXPECT_EQ(QProcess::execute(program, args), 0);
    return filesIn(folder);
  }

  const fs::path out = dir / "out";
  int cliRuns = 0;
};

TEST_F(ConvertTest, AWholeConversionMatchesTheCommandLineByteForByte) {
  const auto input = writeInput("小説.txt", sampleText(40));
  edit("txtMaxLength")->setText(QStringLiteral("200"));
  edit("txtTo")->setText(QString::fromUtf8("宛先@example.jp"));
  chooseFile(input);
  ASSERT_EQ(edit("txtSubject")->text(), QString::fromUtf8("小説"));

  std::map<std::string, bool> during;
  bool convertingDuring = false;
  dialogs.folders.push_back(qpath(out));  // no trailing separator: the window adds it
  dialogs.onFolder = [&] {
    during = lockStates();
    convertingDuring = window->converting();
    EXPECT_FALSE(edit("txtStart")->isEnabled());
    EXPECT_FALSE(edit("txtDate")->isEnabled());
    EXPECT_TRUE(get("txtAll")->isEnabled());
  };
  QTest::mouseClick(get("comConvert"), Qt::LeftButton);

  EXPECT_EQ(during, allLock(false));
  EXPECT_TRUE(convertingDuring);
  EXPECT_EQ(lockStates(), allLock(true));
  EXPECT_FALSE(window->converting());
  ASSERT_EQ(dialogs.folderTitles.size(), 1u);
  EXPECT_EQ(dialogs.folderTitles[0], QString::fromUtf8("出力先のフォルダを選択してください。"));
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Information);
  EXPECT_EQ(dialogs.boxes[0].text, QString::fromUtf8("ファイルの変換が完了しました！"));

  const auto written = filesIn(out);
  ASSERT_GT(written.size(), 3u);
  EXPECT_EQ(written.begin()->first, "E1__0000.VMG");
  const int count = int(written.size());
  EXPECT_EQ(written.rbegin()->first, "E1__" + QStringLiteral("%1").arg(count - 1, 4, 10, QChar(u'0')).toStdString() + ".VMG");
  EXPECT_EQ(edit("txtStart")->text(), QStringLiteral("%1").arg(count, 4, 10, QChar(u'0')));
  EXPECT_EQ(spinner()->value(), count);
  EXPECT_NE(written.begin()->second.find("Subject: \x8f\xac\x90\xe0-000\r\n"), std::string::npos);

  // The hidden record view holds the last record once the run is over.
  const std::u16string last = cp932::decode(written.rbegin()->second);
  QString shown = QString::fromUtf16(last.data(), qsizetype(last.size()));
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  EXPECT_EQ(get<QPlainTextEdit>("txtAll")->toPlainText(), shown);

  // The bar counts every byte read, line ends included: full at the end of the text.
  EXPECT_EQ(bar()->valueF(), bar()->maximumF());
  EXPECT_EQ(bar()->value(), ui::ProgressBar::kSteps);

  const auto cli = fromCommandLine(input, {QStringLiteral("--max-bytes"), QStringLiteral("200"),
                                           QStringLiteral("--subject"), QString::fromUtf8("小説"),
                                           QStringLiteral("--to"), QString::fromUtf8("宛先@example.jp")});
  if (cli.empty()) GTEST_SKIP() << "orvella-convert not found through ORVELLA_BIN_DIR";
  EXPECT_TRUE(cli == written);

  // A second run goes on with the next file number and the next Subject serial.
  const fs::path out2 = dir / "out2";
  fs::create_directories(out2);
  dialogs.folders.push_back(qpath(out2));
  dialogs.onFolder = nullptr;
  window->comConvert_Click();
  const auto second = filesIn(out2);
  const QString next = QString::number(count);
  const auto cli2 = fromCommandLine(
      input, {QStringLiteral("--max-bytes"), QStringLiteral("200"), QStringLiteral("--subject"),
              QString::fromUtf8("小説"), QStringLiteral("--to"), QString::fromUtf8("宛先@example.jp"),
              QStringLiteral("--start"), next, QStringLiteral("--serial"), next});
  EXPECT_EQ(second.size(), written.size());
  EXPECT_TRUE(cli2 == second);
  EXPECT_EQ(edit("txtStart")->text(), QStringLiteral("%1").arg(2 * count, 4, 10, QChar(u'0')));
}

TEST_F(ConvertTest, SerialNumbersOffAndAnotherFormatReachTheFiles) {
  const auto input = writeInput("notes.txt", sampleText(12));
  check("Check2")->setChecked(false);
  edit("txtFormat")->setText(QStringLiteral("0000"));
  edit("txtFrom")->setText(QStringLiteral("me@example.jp"));
  edit("txtMaxLength")->setText(QStringLiteral("300"));
  chooseFile(input);
  dialogs.folders.push_back(qpath(out));
  window->comConvert_Click();
  const auto cli = fromCommandLine(input, {QStringLiteral("--max-bytes"), QStringLiteral("300"),
                                           QStringLiteral("--no-serial"), QStringLiteral("--from"),
                                           QStringLiteral("me@example.jp")});
  if (cli.empty()) GTEST_SKIP() << "orvella-convert not found through ORVELLA_BIN_DIR";
  EXPECT_TRUE(cli == filesIn(out));
}

TEST_F(ConvertTest, RefusesWhileTheLastCheckedFieldIsTooLong) {
  chooseFile(writeInput("a.txt", "abc\r\n"));
  edit("txtTo")->setText(QStringLiteral("to@example.jp"));
  edit("txtFrom")->setText(QString(65, u'f'));
  bar()->setValueF(0);
  QTest::mouseClick(get("comConvert"), Qt::LeftButton);

  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Warning);
  EXPECT_EQ(dialogs.boxes[0].text,
            QString::fromUtf8("Subject, From, Toのうち、いづれかの文字数がオーバーしています。"));
  EXPECT_TRUE(dialogs.folderTitles.empty());
  EXPECT_EQ(edit("txtStart")->text(), "0000");
  EXPECT_EQ(bar()->valueF(), 0);
  EXPECT_EQ(lockStates(), allLock(true));
  EXPECT_FALSE(window->fieldsOk());
}

TEST_F(ConvertTest, GoesAheadWhenAnotherFieldWasCheckedAfterTheLongOne) {
  chooseFile(writeInput("a.txt", "abc\r\n"));
  edit("txtFrom")->setText(QString(65, u'f'));
  edit("txtTo")->setText(QStringLiteral("to@example.jp"));
  window->comConvert_Click();
  EXPECT_EQ(dialogs.folderTitles.size(), 1u);  // it went on to ask for the folder
}

TEST_F(ConvertTest, CancellingTheFolderWritesNothingAndUnlocks) {
  chooseFile(writeInput("a.txt", sampleText(5)));
  window->comConvert_Click();  // the folder dialog answers empty
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Information);
  EXPECT_EQ(dialogs.boxes[0].text, QString::fromUtf8("変換をキャンセルします。"));
  EXPECT_TRUE(filesIn(out).empty());
  EXPECT_EQ(edit("txtStart")->text(), "0000");
  EXPECT_EQ(lockStates(), allLock(true));
}

TEST_F(ConvertTest, AFailedWriteIsOneBoxAndTheStartNumberStaysOnTheFailedRecord) {
  const std::string text = std::string(60, 'x') + "\r\n" + std::string(60, 'y') + "\r\n" + std::string(60, 'z');
  chooseFile(writeInput("a.txt", text));
  edit("txtMaxLength")->setText(QStringLiteral("200"));  // one line per record
  fs::create_directories(out / "E1__0001.VMG");          // cannot be replaced by a file
  dialogs.folders.push_back(qpath(out));
  std::map<std::string, bool> atFailure;
  dialogs.onBox = [&](const ScriptedDialogs::Box& box) {
    if (box.icon == BoxIcon::Stop) atFailure = lockStates();
  };
  window->comConvert_Click();

  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Stop);
  const QString& said = dialogs.boxes[0].text;
  EXPECT_TRUE(said.startsWith(QString::fromUtf8("書き込み中にエラーが発生しました。"))) << said.toStdString();
  EXPECT_TRUE(said.contains(QStringLiteral("E1__0001.VMG"))) << said.toStdString();
  EXPECT_TRUE(said.contains(QString::fromUtf8("フォルダです"))) << said.toStdString();  // why, in Japanese
  EXPECT_EQ(atFailure, allLock(false));
  EXPECT_EQ(lockStates(), allLock(true));

  const auto files = filesIn(out);
  ASSERT_EQ(files.size(), 2u);  // nothing after the record that failed
  EXPECT_NE(files.at("E1__0000.VMG").find(std::string(60, 'x')), std::string::npos);
  EXPECT_EQ(files.at("E1__0001.VMG"), "<not a file>");
  EXPECT_EQ(edit("txtStart")->text(), "0001");

  // Once the way is clear, running again carries the series on from the record that failed.
  fs::remove(out / "E1__0001.VMG");
  dialogs.folders.push_back(qpath(out));
  window->comConvert_Click();
  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_EQ(dialogs.boxes[1].icon, BoxIcon::Information);
  EXPECT_EQ(filesIn(out).size(), 4u);
  EXPECT_EQ(edit("txtStart")->text(), "0004");
}

TEST_F(ConvertTest, AFolderThatCannotBeWrittenIsOneBoxBeforeAnythingIsRead) {
  chooseFile(writeInput("a.txt", sampleText(50)));
  edit("txtMaxLength")->setText(QStringLiteral("200"));
  dialogs.folders.push_back(qpath(dir / "gone"));  // not there when the run starts
  bar()->setValueF(0);
  window->comConvert_Click();
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Stop);
  EXPECT_TRUE(dialogs.boxes[0].text.contains(QString::fromUtf8("出力先のフォルダに書き込めません。")))
      << dialogs.boxes[0].text.toStdString();
  EXPECT_EQ(bar()->valueF(), 0);  // nothing read
  EXPECT_EQ(edit("txtStart")->text(), "0000");
  EXPECT_FALSE(fs::exists(dir / "gone"));
}

TEST_F(ConvertTest, ABusyFolderIsOneBoxAndOlderRecordsAreNamedInTheClosingMessage) {
  chooseFile(writeInput("a.txt", std::string(60, 'x') + "\r\n" + std::string(60, 'y')));
  edit("txtMaxLength")->setText(QStringLiteral("200"));
  for (const char* name : {"E1__0002.VMG", "E1__0003.VMG"}) writeFile(out / name, "older");

  platform::FolderLock other;  // another run has the folder
  ASSERT_EQ(other.acquire(out), platform::FolderLock::State::Held);
  dialogs.folders.push_back(qpath(out));
  window->comConvert_Click();
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Stop);
  EXPECT_TRUE(dialogs.boxes[0].text.contains(QString::fromUtf8(orvella::texts::kFolderBusy.data())))
      << dialogs.boxes[0].text.toStdString();
  EXPECT_EQ(edit("txtStart")->text(), "0000");
  other.release();

  dialogs.folders.push_back(qpath(out));
  window->comConvert_Click();
  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_EQ(dialogs.boxes[1].icon, BoxIcon::Information);
  EXPECT_TRUE(dialogs.boxes[1].text.startsWith(QString::fromUtf8("ファイルの変換が完了しました！")));
  EXPECT_TRUE(dialogs.boxes[1].text.contains(QStringLiteral("E1__0002.VMG")) &&
              dialogs.boxes[1].text.contains(QStringLiteral("E1__0003.VMG")))
      << dialogs.boxes[1].text.toStdString();
  EXPECT_EQ(readFile(out / "E1__0003.VMG"), "older");
}

TEST_F(ConvertTest, NoHeaderFieldTakesALineBreak) {
  // From a file name (the Subject) and from a paste alike, a control character becomes a space.
  const auto input = writeInput(std::string("a\nEND:VMSG\rb\x01.txt"), "abc\r\n");
  chooseFile(input);
  EXPECT_EQ(edit("txtSubject")->text(), QStringLiteral("a END:VMSG b "));
  for (const char* name : {"txtSubject", "txtFrom", "txtTo", "txtFormat"}) {
    QLineEdit* field = edit(name);
    field->clear();
    field->insert(QStringLiteral("x\r\nEND:VMSG\ty"));
    EXPECT_EQ(field->text(), QStringLiteral("x  END:VMSG\ty")) << name;
  }
  edit("txtFormat")->setText(QStringLiteral("000"));
  dialogs.folders.push_back(qpath(out));
  window->comConvert_Click();
  const std::string record = filesIn(out).at("E1__0000.VMG");
  EXPECT_NE(record.find("\r\nSubject: x  END:VMSG\ty-000\r\n"), std::string::npos) << record;
  EXPECT_EQ(record.find("\r\nEND:VMSG\r\n"), record.size() - 12);  // the record ends once
}

TEST_F(ConvertTest, AnInvalidLimitStopsBeforeTheFolderIsAskedFor) {
  chooseFile(writeInput("a.txt", "abc"));
  edit("txtMaxLength")->setText(QStringLiteral("ten"));
  window->comConvert_Click();
  EXPECT_TRUE(dialogs.folderTitles.empty());
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Stop);
  EXPECT_EQ(lockStates(), allLock(true));
}

TEST_F(ConvertTest, TheLastFileNumberEndsTheRunWithAMessage) {
  chooseFile(writeInput("a.txt", std::string(60, 'x') + "\r\n" + std::string(60, 'y') + "\r\n" +
                                     std::string(60, 'z')));
  edit("txtMaxLength")->setText(QStringLiteral("200"));
  spinner()->setValue(9998);
  dialogs.folders.push_back(qpath(out));
  window->comConvert_Click();
  const auto files = filesIn(out);
  EXPECT_EQ(files.size(), 2u);
  EXPECT_TRUE(files.count("E1__9998.VMG") && files.count("E1__9999.VMG"));
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Stop);
  EXPECT_EQ(edit("txtStart")->text(), "9999");
  EXPECT_EQ(lockStates(), allLock(true));
}

TEST_F(ConvertTest, ClosingTheWindowMidRunWritesTheRecordInHandAndStops) {
  window->show();
  window->setBreatheInterval(std::chrono::milliseconds(0));
  std::string text;
  for (int i = 0; i < 30; ++i) text += std::string(50, char('a' + i % 26)) + "\r\n";
  chooseFile(writeInput("a.txt", text));
  edit("txtMaxLength")->setText(QStringLiteral("250"));  // two lines to a record
  dialogs.folders.push_back(qpath(out));
  dialogs.onFolder = [&] { QTimer::singleShot(0, window.get(), [&] { window->close(); }); };
  window->comConvert_Click();

  const auto files = filesIn(out);
  ASSERT_EQ(files.size(), 1u);  // no temporary file left behind either
  const std::string& record = files.at("E1__0000.VMG");
  EXPECT_EQ(record.rfind("BEGIN:VMSG\r\n", 0), 0u);
  EXPECT_NE(record.find(std::string(50, 'a') + "\r\n\r\nEND:VBODY\r\nEND:VMSG\r\n"), std::string::npos);
  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_EQ(edit("txtStart")->text(), "0001");

  QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 2000);
}

TEST_F(WindowTest, SpinnerMovesByOneWithinItsBoundsAndRewritesTheStartNumber) {
  QScrollBar* s = spinner();
  QTest::keyClick(s, Qt::Key_Up);
  EXPECT_EQ(edit("txtStart")->text(), "0000");
  for (int i = 0; i < 5; ++i) QTest::keyClick(s, Qt::Key_Down);
  EXPECT_EQ(edit("txtStart")->text(), "0005");
  QTest::keyClick(s, Qt::Key_Up);
  EXPECT_EQ(edit("txtStart")->text(), "0004");

  s->setValue(42);
  EXPECT_EQ(edit("txtStart")->text(), "0042");
  s->setValue(9999);
  QTest::keyClick(s, Qt::Key_Down);
  EXPECT_EQ(s->value(), 9999);
  EXPECT_EQ(edit("txtStart")->text(), "9999");
  s->setValue(12000);
  EXPECT_EQ(edit("txtStart")->text(), "9999");
  s->setValue(0);
  EXPECT_EQ(edit("txtStart")->text(), "0000");
}

TEST_F(WindowTest, SpinnerArrowsLowerAtTheTopAndRaiseAtTheBottom) {
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
  const QRect down = s->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarAddLine, s);
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

}  // namespace
}  // namespace orvella::testing

namespace orvella::testing {
namespace {

// Every box of a run, the completion above all, stands over a bar that shows where the run is.
TEST_F(ConvertTest, TheBarShowsItsFinalValueBeforeAnyBoxAppears) {
  window->show();
  std::string text;
  for (int i = 0; i < 40; ++i) text += std::string(60, char('a' + i % 26)) + "\r\n";
  edit("txtMaxLength")->setText(QStringLiteral("400"));
  std::vector<std::pair<int, int>> shownAndHeld;  // the painted step and the step of the value
  dialogs.onBox = [&](const ScriptedDialogs::Box&) {
    const int held = int(bar()->valueF() / bar()->maximumF() * ui::ProgressBar::kSteps);
    shownAndHeld.emplace_back(bar()->value(), held);
  };

  // A run that ends: the bar stands full under the box.
  chooseFile(writeInput("a.txt", text));
  dialogs.folders.push_back(qpath(out));
  window->comConvert_Click();
  ASSERT_EQ(shownAndHeld.size(), 1u);
  EXPECT_EQ(shownAndHeld.back().first, shownAndHeld.back().second);
  EXPECT_EQ(shownAndHeld.back().first, ui::ProgressBar::kSteps);

  // A run stopped part way by a failed write: its one box still shows where the bar stands.
  const fs::path other = out / "other";
  fs::create_directories(other / fileNameFor(spinner()->value() + 1));
  chooseFile(writeInput("a.txt", text));
  dialogs.folders.push_back(qpath(other));
  shownAndHeld.clear();
  window->comConvert_Click();
  ASSERT_EQ(shownAndHeld.size(), 1u);
  EXPECT_EQ(shownAndHeld.back().first, shownAndHeld.back().second);
  EXPECT_GT(shownAndHeld.back().first, 0);
}

}  // namespace
}  // namespace orvella::testing
