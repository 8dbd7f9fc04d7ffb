// The window with texts as they come: the encoding named in the file box's tooltip, the '?'
// told under the completion message, and the JIS readings typed into the Subject.
#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>

#include "convert/texts.hpp"
#include "ui/window_texts.hpp"
#include "window_test.hpp"

namespace orvella::testing {
namespace {

using ui::BoxIcon;
namespace fs = std::filesystem;

QString u8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

class EncodingWindowTest : public WindowTest {
 protected:
  // Chooses the file and converts it into a fresh folder; the message boxes it showed.
  std::vector<ScriptedDialogs::Box> convert(const fs::path& input) {
    chooseFile(input);
    const fs::path out = dir / ("out" + std::to_string(runs++));
    fs::create_directories(out);
    dialogs.folders.push_back(qpath(out));
    dialogs.boxes.clear();
    QTest::mouseClick(get("comConvert"), Qt::LeftButton);
    lastOut = out;
    return dialogs.boxes;
  }
  int runs = 0;
  fs::path lastOut;
};

TEST_F(EncodingWindowTest, TooltipNamesAnEncodingOtherThanCodePage932) {
  const QString plain = u8(ui::texts::kTipFileName);
  chooseFile(writeInput("sjis.txt", "\x95\xcf\x8a\xb7\r\n"));
  EXPECT_EQ(edit("txtFileName")->toolTip(), plain);
  chooseFile(writeInput("utf8.txt", "\xef\xbb\xbf\xe5\xa4\x89\r\n"));
  EXPECT_EQ(edit("txtFileName")->toolTip(),
            plain + u8(ui::texts::kTipEncodingOpen) + u8(texts::kEncodingUtf8) + u8(texts::kWithMark) +
                u8(ui::texts::kTipEncodingClose));
  chooseFile(writeInput("utf16.txt", std::string("\xff\xfe" "a\0", 4)));
  EXPECT_TRUE(edit("txtFileName")->toolTip().contains(u8(texts::kEncodingUtf16Le)));
  chooseFile(writeInput("ascii.txt", "plain\r\n"));
  EXPECT_EQ(edit("txtFileName")->toolTip(), plain);
}

TEST_F(EncodingWindowTest, CompletionTellsTheEncodingAndTheQuestionMarksOnASecondLine) {
  const auto boxes = convert(writeInput("utf8.txt", "\xe3\x81\x82\n\xf0\x9f\x98\x80 \xe3\x80\x9c\n"));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].icon, BoxIcon::Information);
  EXPECT_EQ(boxes[0].text, u8(texts::kCompleted) + u'\n' + u8(texts::kReadAs) + u8(texts::kEncodingUtf8) +
                               u8(texts::kNoteSeparator) + u8(texts::kSubstitutedPrefix) + "1" +
                               u8(texts::kSubstitutedSuffix) + " (2" + u8(texts::kLineSuffix) +
                               QString::fromUtf8("U+1F600 \xf0\x9f\x98\x80)"));
  // The wave dash is written with its JIS reading, not '?'.
  const std::string record = readFile(lastOut / "E1__0000.VMG");
  EXPECT_NE(record.find("\r\n\x82\xa0\r\n? \x81\x60\r\n"), std::string::npos);

  // Clean UTF-8 names only the encoding; code page 932 input changes nothing.
  EXPECT_EQ(convert(writeInput("clean.txt", "\xe3\x81\x82\n")).at(0).text,
            u8(texts::kCompleted) + u'\n' + u8(texts::kReadAs) + u8(texts::kEncodingUtf8));
  EXPECT_EQ(convert(writeInput("sjis.txt", "\x82\xa0\r\n")).at(0).text, u8(texts::kCompleted));
}

// U+301C U+2212 U+2016 U+2014 U+00A2 U+00A3 U+00AC U+00A5 U+203E, as typed on another system.
TEST_F(EncodingWindowTest, JisReadingsInTheSubjectCountAndAreWrittenAsTheirCodes) {
  const QString nine = QString::fromUtf16(u"\u301C\u2212\u2016\u2014\u00A2\u00A3\u00AC\u00A5\u203E");
  check("Check1")->setChecked(false);
  edit("txtSubject")->setText(QString());
  // As an input method delivers text: one commit per character.
  edit("txtSubject")->setFocus();
  for (const QChar c : nine) {
    QInputMethodEvent commit;
    commit.setCommitString(QString(c));
    QApplication::sendEvent(edit("txtSubject"), &commit);
  }
  EXPECT_EQ(edit("txtSubject")->text(), nine);
  EXPECT_EQ(label("labSubject")->text(), QStringLiteral("16bytes"));
  const auto boxes = convert(writeInput("in.txt", "body\r\n"));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u8(texts::kCompleted));
  const std::string record = readFile(lastOut / "E1__0000.VMG");
  EXPECT_NE(record.find("\r\nSubject: \x81\x60\x81\x7c\x81\x61\x81\x5c\x81\x91\x81\x92\x81\xca\x5c\x7e-000\r\n"),
            std::string::npos)
      << record;
}

}  // namespace
}  // namespace orvella::testing
