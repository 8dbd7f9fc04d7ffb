// The window with texts as they come: the encoding named in the file box's tooltip, the '?'
// told under the completion message, and the JIS readings typed into the Subject.
#include "convert/texts.hpp"
#include "window/window_texts.hpp"
#include "window_test.hpp"

namespace orvella::testing {
namespace {

namespace fs = std::filesystem;
using C = Control;

class EncodingWindowTest : public WindowTest {
 protected:
  // Chooses the file and converts it into a fresh folder; the message boxes it showed.
  std::vector<ScriptedDialogs::Box> convert(const fs::path& input) {
    chooseFile(input);
    lastOut = dir / ("out" + std::to_string(runs++));
    fs::create_directories(lastOut);
    dialogs.folders.push_back(u16Path(lastOut));
    dialogs.boxes.clear();
    face.click(C::comConvert);
    return dialogs.boxes;
  }
  int runs = 0;
  fs::path lastOut;
};

TEST_F(EncodingWindowTest, TooltipNamesAnEncodingOtherThanCodePage932) {
  const std::u16string plain(window::texts::kTipFileName);
  chooseFile(writeInput("sjis.txt", "\x95\xcf\x8a\xb7\r\n"));
  EXPECT_EQ(face.state(C::txtFileName).tip, plain);
  chooseFile(writeInput("utf8.txt", "\xef\xbb\xbf\xe5\xa4\x89\r\n"));
  EXPECT_EQ(face.state(C::txtFileName).tip, plain + std::u16string(window::texts::kTipEncodingOpen) +
                                                u16(texts::kEncodingUtf8) + u16(texts::kWithMark) +
                                                std::u16string(window::texts::kTipEncodingClose));
  chooseFile(writeInput("utf16.txt", std::string("\xff\xfe"
                                                 "a\0",
                                                 4)));
  EXPECT_NE(face.state(C::txtFileName).tip.find(u16(texts::kEncodingUtf16Le)), std::u16string::npos);
  chooseFile(writeInput("ascii.txt", "plain\r\n"));
  EXPECT_EQ(face.state(C::txtFileName).tip, plain);
}

TEST_F(EncodingWindowTest, CompletionTellsTheEncodingAndTheQuestionMarksOnASecondLine) {
  const auto boxes = convert(writeInput("utf8.txt", "\xe3\x81\x82\n\xf0\x9f\x98\x80 \xe3\x80\x9c\n"));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].icon, BoxIcon::Information);
  EXPECT_EQ(u8(boxes[0].text), std::string(texts::kCompleted) + '\n' + std::string(texts::kReadAs) +
                                   std::string(texts::kEncodingUtf8) + std::string(texts::kNoteSeparator) +
                                   std::string(texts::kSubstitutedPrefix) + "1" +
                                   std::string(texts::kSubstitutedSuffix) + " (2" +
                                   std::string(texts::kLineSuffix) + "U+1F600 \xf0\x9f\x98\x80)");
  // The wave dash is written with its JIS reading, not '?'.
  const std::string record = readFile(lastOut / "E1__0000.VMG");
  EXPECT_NE(record.find("\r\n\x82\xa0\r\n? \x81\x60\r\n"), std::string::npos);

  // Clean UTF-8 names only the encoding; code page 932 input changes nothing.
  EXPECT_EQ(u8(convert(writeInput("clean.txt", "\xe3\x81\x82\n")).at(0).text),
            std::string(texts::kCompleted) + '\n' + std::string(texts::kReadAs) +
                std::string(texts::kEncodingUtf8));
  EXPECT_EQ(u8(convert(writeInput("sjis.txt", "\x82\xa0\r\n")).at(0).text), texts::kCompleted);
}

// U+301C U+2212 U+2016 U+2014 U+00A2 U+00A3 U+00AC U+00A5 U+203E, as typed on another system.
TEST_F(EncodingWindowTest, JisReadingsInTheSubjectCountAndAreWrittenAsTheirCodes) {
  const std::u16string nine = u"\u301C\u2212\u2016\u2014\u00A2\u00A3\u00AC\u00A5\u203E";
  face.setChecked(C::Check1, false);
  face.type(C::txtSubject, nine);
  EXPECT_EQ(text(C::labSubject), u"16bytes");
  const auto boxes = convert(writeInput("in.txt", "body\r\n"));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(u8(boxes[0].text), texts::kCompleted);
  const std::string record = readFile(lastOut / "E1__0000.VMG");
  EXPECT_NE(
      record.find("\r\nSubject: \x81\x60\x81\x7c\x81\x61\x81\x5c\x81\x91\x81\x92\x81\xca\x5c\x7e-000\r\n"),
      std::string::npos)
      << record;
}

}  // namespace
}  // namespace orvella::testing
