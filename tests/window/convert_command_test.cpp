// The convert command: locking, the folder, the messages, the start number, stopping on close,
// and the records, which are the command line's byte for byte; the reading options it runs with.
#include <algorithm>
#include <functional>
#include <map>
#include <optional>

#include "convert/converter.hpp"
#include "convert/texts.hpp"
#include "core/cp932.hpp"
#include "platform/files.hpp"
#include "support/program.hpp"
#include "window/reading_choices.hpp"
#include "window/window_texts.hpp"
#include "window_test.hpp"

namespace orvella::testing {
namespace {

namespace fs = std::filesystem;
using C = Control;
using window::ReadingChoices;

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

std::u16string startNumber(int n) {
  std::string digits = std::to_string(n);
  return u16(std::string(4 - digits.size(), '0') + digits);
}

class ConvertTest : public WindowTest {
 protected:
  ConvertTest() { fs::create_directories(out); }

  std::map<C, bool> lockStates() const {
    std::map<C, bool> states;
    for (const C c : window::lockList()) states[c] = enabled(c);
    return states;
  }
  static std::map<C, bool> allLock(bool on) {
    std::map<C, bool> states;
    for (const C c : window::lockList()) states[c] = on;
    return states;
  }

  // The same conversion from the command line, into its own folder.
  std::map<std::string, std::string> fromCommandLine(const std::vector<fs::path>& inputs,
                                                     std::vector<std::string> args, int code = 0) {
    const fs::path folder = dir / ("cli" + std::to_string(cliRuns++));
    fs::create_directories(folder);
    args.insert(args.begin(), {"-q", "-o", utf8Of(folder), "--date", kFixedDate});
    for (const fs::path& input : inputs) args.push_back(utf8Of(input));
    const Outcome o = run(dir.path(), args);
    EXPECT_EQ(o.code, code) << o.err;
    return recordsIn(folder);
  }

  void convertInto(const fs::path& folder) {
    dialogs.folders.push_back(u16Path(folder));
    face.click(C::comConvert);
  }

  const fs::path out = dir / "out";
  int cliRuns = 0;
};

TEST_F(ConvertTest, AWholeConversionMatchesTheCommandLineByteForByte) {
  const auto input = writeInput("小説.txt", sampleText(40));
  face.type(C::txtMaxLength, u"200");
  face.type(C::txtTo, u"宛先@example.jp");
  chooseFile(input);
  ASSERT_EQ(text(C::txtSubject), u"小説");

  std::map<C, bool> during;
  bool convertingDuring = false;
  dialogs.onFolder = [&] {
    during = lockStates();
    convertingDuring = form.converting();
    EXPECT_FALSE(enabled(C::txtStart));
    EXPECT_FALSE(enabled(C::txtDate));
    EXPECT_TRUE(enabled(C::txtAll));
  };
  convertInto(out);  // no trailing separator: the window adds it

  EXPECT_EQ(during, allLock(false));
  EXPECT_TRUE(convertingDuring);
  EXPECT_EQ(lockStates(), allLock(true));
  EXPECT_FALSE(form.converting());
  ASSERT_EQ(dialogs.folderTitles.size(), 1u);
  EXPECT_EQ(dialogs.folderTitles[0], u"出力先のフォルダを選択してください。");
  EXPECT_EQ(dialogs.owners.back(), face.owner());
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Information);
  EXPECT_EQ(dialogs.boxes[0].text, u"ファイルの変換が完了しました！");

  const auto written = recordsIn(out);
  ASSERT_GT(written.size(), 3u);
  const int count = int(written.size());
  EXPECT_EQ(written.begin()->first, fileNameFor(0));
  EXPECT_EQ(written.rbegin()->first, fileNameFor(count - 1));
  EXPECT_EQ(text(C::txtStart), startNumber(count));
  EXPECT_EQ(face.value(C::VScroll1), count);
  EXPECT_NE(written.begin()->second.find("Subject: \x8f\xac\x90\xe0-000\r\n"), std::string::npos);

  // The hidden record view holds the last record once the run is over.
  EXPECT_EQ(text(C::txtAll), cp932::decode(written.rbegin()->second));

  // The bar counts every byte read, line ends included: full at the end of the text.
  EXPECT_EQ(form.bar().value(), form.bar().maximum());
  EXPECT_EQ(face.value(C::ProgressBar1), form.bar().step());

  const std::vector<std::string> same = {"--max-bytes", "200",  "--subject",
                                         "小説",        "--to", "宛先@example.jp"};
  EXPECT_TRUE(fromCommandLine({input}, same) == written);

  // A second run goes on with the next file number and the next Subject serial.
  const fs::path out2 = dir / "out2";
  fs::create_directories(out2);
  convertInto(out2);
  std::vector<std::string> next = same;
  next.insert(next.end(), {"--start", std::to_string(count), "--serial", std::to_string(count)});
  const auto second = recordsIn(out2);
  EXPECT_EQ(second.size(), written.size());
  EXPECT_TRUE(fromCommandLine({input}, next) == second);
  EXPECT_EQ(text(C::txtStart), startNumber(2 * count));
}

TEST_F(ConvertTest, SerialNumbersOffAndAnotherFormatReachTheFiles) {
  const auto input = writeInput("notes.txt", sampleText(12));
  face.setChecked(C::Check2, false);
  face.type(C::txtFormat, u"0000");
  face.type(C::txtFrom, u"me@example.jp");
  face.type(C::txtMaxLength, u"300");
  chooseFile(input);
  convertInto(out);
  EXPECT_TRUE(fromCommandLine({input}, {"--max-bytes", "300", "--no-serial", "--from", "me@example.jp"}) ==
              recordsIn(out));
}

// Several texts chosen together are the command line's series, byte for byte: each text's
// Subject its own name unless one was typed, each name held to the Subject limit (nothing
// written, as the command line refuses it); the closing message gives each text's note under
// its name.
TEST_F(ConvertTest, SeveralTextsMakeTheCommandLinesSeries) {
  std::vector<fs::path> inputs = {writeInput("上.txt", sampleText(30)),
                                  writeInput("中.txt", "\xe3\x81\x82\n"),
                                  writeInput("下.txt", sampleText(20))};
  const fs::path tooLong = writeInput(std::string(120, 'n') + ".txt", "abc\r\n");
  face.type(C::txtMaxLength, u"300");
  const std::string done = std::string(texts::kCompleted) + "\n中.txt: " + std::string(texts::kReadAs) +
                           std::string(texts::kEncodingUtf8);
  const struct {
    const char16_t* typed;  // into the Subject once chosen
    std::vector<std::string> args;
    std::string box;
    int code;  // the command line's; 2 adds tooLong to the texts
  } rows[] = {{nullptr, {}, done, 0},
              {u"小説", {"--subject", "小説"}, done, 0},
              {nullptr, {}, u8(window::texts::kFieldsTooLong) + "\n" + utf8Of(tooLong), 2}};
  for (const auto& row : rows) {
    if (row.code) inputs.push_back(tooLong);
    dialogs.files.emplace_back();
    for (const fs::path& input : inputs) dialogs.files.back().push_back(u16Path(input));
    face.click(C::Command2);
    if (row.typed) face.type(C::txtSubject, row.typed);
    const std::string start = std::to_string(face.value(C::VScroll1));
    fs::create_directories(dir / ("run" + start));
    dialogs.boxes.clear();
    convertInto(dir / ("run" + start));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(u8(dialogs.boxes[0].text), row.box);
    EXPECT_EQ(form.bar().value(), row.code ? 0 : form.bar().maximum());
    std::vector<std::string> args = {"--max-bytes", "300", "--start", start, "--serial", start};
    args.insert(args.end(), row.args.begin(), row.args.end());
    EXPECT_TRUE(fromCommandLine(inputs, args, row.code) == recordsIn(dir / ("run" + start)));
  }
}

TEST_F(ConvertTest, CancellingTheFolderWritesNothingAndUnlocks) {
  chooseFile(writeInput("a.txt", sampleText(5)));
  face.click(C::comConvert);  // the folder dialog answers empty
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Information);
  EXPECT_EQ(dialogs.boxes[0].text, u"変換をキャンセルします。");
  EXPECT_TRUE(recordsIn(out).empty());
  EXPECT_EQ(text(C::txtStart), u"0000");
  EXPECT_EQ(lockStates(), allLock(true));
}

// A failed run leaves the start number and the Subject serial where they stood before it, so
// "変換" again rewrites the same series from its first record and the folder holds the text once.
TEST_F(ConvertTest, AFailedRunLeavesTheStartNumberAndSerialSoARetryRewritesTheSeries) {
  const std::string lines =
      std::string(60, 'x') + "\r\n" + std::string(60, 'y') + "\r\n" + std::string(60, 'z');
  chooseFile(writeInput("a.txt", lines));
  face.type(C::txtMaxLength, u"200");  // one line per record
  fs::create_directories(dir / "earlier");
  convertInto(dir / "earlier");  // a run that completes moves both on
  ASSERT_EQ(text(C::txtStart), u"0003");
  ASSERT_EQ(form.message().subjectSerial(), 3);

  fs::create_directories(out / "E1__0004.VMG");  // cannot be replaced by a file
  std::map<C, bool> atFailure;
  dialogs.onBox = [&](const ScriptedDialogs::Box& box) {
    if (box.icon == BoxIcon::Stop) atFailure = lockStates();
  };
  convertInto(out);

  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_EQ(dialogs.boxes[1].icon, BoxIcon::Stop);
  const std::string said = u8(dialogs.boxes[1].text);
  EXPECT_EQ(said.rfind("書き込み中にエラーが発生しました。", 0), 0u) << said;
  EXPECT_NE(said.find("E1__0004.VMG"), std::string::npos) << said;
  EXPECT_NE(said.find("フォルダです"), std::string::npos) << said;  // why, in Japanese
  EXPECT_NE(said.find(u8(window::texts::kRetryPrefix) + fileNameFor(3) + u8(window::texts::kRetrySuffix)),
            std::string::npos)
      << said;
  EXPECT_EQ(atFailure, allLock(false));
  EXPECT_EQ(lockStates(), allLock(true));
  EXPECT_EQ(recordsIn(out).size(), 2u);  // nothing after the record that failed
  EXPECT_EQ(text(C::txtStart), u"0003");
  EXPECT_EQ(form.message().subjectSerial(), 3);

  // Once the way is clear, running again writes the series whole from its first record.
  fs::remove(out / "E1__0004.VMG");
  convertInto(out);
  ASSERT_EQ(dialogs.boxes.size(), 3u);
  EXPECT_EQ(dialogs.boxes[2].icon, BoxIcon::Information);
  const auto files = recordsIn(out);
  ASSERT_EQ(files.size(), 3u);
  EXPECT_NE(files.at("E1__0003.VMG").find("-003\r\n"), std::string::npos);
  EXPECT_NE(files.at("E1__0003.VMG").find(std::string(60, 'x')), std::string::npos);
  EXPECT_NE(files.at("E1__0005.VMG").find(std::string(60, 'z')), std::string::npos);
  EXPECT_EQ(text(C::txtStart), u"0006");
}

TEST_F(ConvertTest, AFolderThatCannotBeWrittenIsOneBoxBeforeAnythingIsRead) {
  chooseFile(writeInput("a.txt", sampleText(50)));
  face.type(C::txtMaxLength, u"200");
  convertInto(dir / "gone");  // not there when the run starts
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Stop);
  EXPECT_NE(dialogs.boxes[0].text.find(u"出力先のフォルダに書き込めません。"), std::u16string::npos)
      << u8(dialogs.boxes[0].text);
  EXPECT_EQ(form.bar().value(), 0);  // nothing read
  EXPECT_EQ(text(C::txtStart), u"0000");
  EXPECT_FALSE(fs::exists(dir / "gone"));
}

TEST_F(ConvertTest, ABusyFolderIsOneBoxAndOlderRecordsAreNamedInTheClosingMessage) {
  chooseFile(writeInput("a.txt", std::string(60, 'x') + "\r\n" + std::string(60, 'y')));
  face.type(C::txtMaxLength, u"200");
  for (const char* name : {"E1__0002.VMG", "E1__0003.VMG"}) writeFile(out / name, "older");

  platform::FolderLock other;  // another run has the folder
  ASSERT_EQ(other.acquire(out), platform::FolderLock::State::Held);
  convertInto(out);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Stop);
  EXPECT_NE(dialogs.boxes[0].text.find(u16(orvella::texts::kFolderBusy)), std::u16string::npos);
  EXPECT_EQ(text(C::txtStart), u"0000");
  other.release();

  convertInto(out);
  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_EQ(dialogs.boxes[1].icon, BoxIcon::Information);
  const std::string said = u8(dialogs.boxes[1].text);
  EXPECT_EQ(said.rfind("ファイルの変換が完了しました！", 0), 0u);
  EXPECT_TRUE(said.find("E1__0002.VMG") != std::string::npos &&
              said.find("E1__0003.VMG") != std::string::npos)
      << said;
  EXPECT_EQ(readFile(out / "E1__0003.VMG"), "older");
}

TEST_F(ConvertTest, NoHeaderFieldTakesALineBreak) {
  // From a file name (the Subject; Windows allows no such name) and from typing alike, a
  // control character becomes a space.
#ifndef _WIN32
  chooseFile(writeInput(std::string("a\nEND:VMSG\rb\x01.txt"), "abc\r\n"));
  EXPECT_EQ(text(C::txtSubject), u"a END:VMSG b ");
#else
  chooseFile(writeInput("a.txt", "abc\r\n"));
#endif
  for (const C field : {C::txtSubject, C::txtFrom, C::txtTo, C::txtFormat}) {
    face.type(field, u"x\r\nEND:VMSG\ty");
    EXPECT_EQ(text(field), u"x  END:VMSG\ty") << window::rowOf(field).name;
  }
  face.type(C::txtMaxLength, u"1\n0");  // not a header: kept, and refused as a limit
  EXPECT_EQ(text(C::txtMaxLength), u"1\n0");
  face.type(C::txtFormat, u"000");
  face.type(C::txtMaxLength, u"10000");
  convertInto(out);
  const std::string record = recordsIn(out).at("E1__0000.VMG");
  EXPECT_NE(record.find("\r\nSubject: x  END:VMSG\ty-000\r\n"), std::string::npos) << record;
  EXPECT_EQ(record.find("\r\nEND:VMSG\r\n"), record.size() - 12);  // the record ends once
}

TEST_F(ConvertTest, AnInvalidLimitStopsBeforeTheFolderIsAskedFor) {
  chooseFile(writeInput("a.txt", "abc"));
  face.type(C::txtMaxLength, u"ten");
  face.click(C::comConvert);
  EXPECT_TRUE(dialogs.folderTitles.empty());
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Stop);
  EXPECT_EQ(lockStates(), allLock(true));
}

TEST_F(ConvertTest, TheLastFileNumberEndsTheRunWithAMessage) {
  chooseFile(writeInput(
      "a.txt", std::string(60, 'x') + "\r\n" + std::string(60, 'y') + "\r\n" + std::string(60, 'z')));
  face.type(C::txtMaxLength, u"200");
  face.setValue(C::VScroll1, kLastFileNumber - 1);
  convertInto(out);
  const auto files = recordsIn(out);
  EXPECT_EQ(files.size(), 2u);
  EXPECT_TRUE(files.count(fileNameFor(kLastFileNumber - 1)) && files.count(fileNameFor(kLastFileNumber)));
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Stop);
  EXPECT_EQ(text(C::txtStart), u"9998");
  EXPECT_EQ(lockStates(), allLock(true));
}

// The close box, or a stop requested from outside (a signal), mid-run.
TEST_F(ConvertTest, StoppingMidRunWritesTheRecordInHandWholeThenTheWindowCloses) {
  bool requested = false;
  form.setStopSource([&] { return requested; });
  form.setBreatheInterval(std::chrono::milliseconds(0));
  std::string lines;
  for (int i = 0; i < 30; ++i) lines += std::string(50, char('a' + i % 26)) + "\r\n";
  face.type(C::txtMaxLength, u"250");  // two lines to a record
  const std::pair<const char*, std::function<void()>> stops[] = {{"close box", [&] { face.close(); }},
                                                                 {"from outside", [&] { requested = true; }}};
  for (const auto& [what, stop] : stops) {
    SCOPED_TRACE(what);
    chooseFile(writeInput("a.txt", lines));
    const fs::path folder = out / what;
    fs::create_directories(folder);
    face.onProcessEvents = stop;
    convertInto(folder);

    EXPECT_FALSE(face.closed);  // not while the record in hand is written
    const auto files = recordsIn(folder);
    ASSERT_EQ(files.size(), 1u);  // no temporary file left behind either
    const std::string& record = files.at("E1__0000.VMG");
    EXPECT_EQ(record.rfind("BEGIN:VMSG\r\n", 0), 0u);
    EXPECT_NE(record.find(std::string(50, 'a') + "\r\n\r\nEND:VBODY\r\nEND:VMSG\r\n"), std::string::npos);
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(text(C::txtStart), u"0001");

    face.onProcessEvents = nullptr;
    face.runPosted();  // then the window closes
    EXPECT_TRUE(face.closed);
    face.closed = false;
    requested = false;
    face.setValue(C::VScroll1, 0);
  }
}

TEST_F(WindowTest, TheSpinnerWritesTheStartNumberWithFourDigits) {
  for (const auto& [value, shown] :
       {std::pair{5, u"0005"}, {42, u"0042"}, {kLastFileNumber, u"9999"}, {0, u"0000"}}) {
    face.setValue(C::VScroll1, value);
    EXPECT_EQ(text(C::txtStart), shown);
  }
}

// Every box of a run, the completion above all, stands over a bar that shows where the run is.
TEST_F(ConvertTest, TheBarShowsItsFinalValueBeforeAnyBoxAppears) {
  std::string lines;
  for (int i = 0; i < 40; ++i) lines += std::string(60, char('a' + i % 26)) + "\r\n";
  face.type(C::txtMaxLength, u"400");
  std::vector<std::pair<int, int>> shownAndHeld;
  dialogs.onBox = [&](const ScriptedDialogs::Box&) {
    shownAndHeld.emplace_back(face.value(C::ProgressBar1), form.bar().step());
  };

  // A run that ends: the bar stands full under the box.
  chooseFile(writeInput("a.txt", lines));
  convertInto(out);
  ASSERT_EQ(shownAndHeld.size(), 1u);
  EXPECT_EQ(shownAndHeld.back().first, shownAndHeld.back().second);
  EXPECT_EQ(shownAndHeld.back().first, window::kBarSteps);

  // A run stopped part way by a failed write: its one box still shows where the bar stands.
  const fs::path other = out / "other";
  fs::create_directories(other / fileNameFor(face.value(C::VScroll1) + 1));
  chooseFile(writeInput("a.txt", lines));
  shownAndHeld.clear();
  convertInto(other);
  ASSERT_EQ(shownAndHeld.size(), 1u);
  EXPECT_EQ(shownAndHeld.back().first, shownAndHeld.back().second);
  EXPECT_GT(shownAndHeld.back().first, 0);
}

// The options dialog's choices: off at start, kept from one dialog to the next (a cancel keeps
// them), followed by the estimate, given to the run and named when it ends; locked during a run.
TEST_F(WindowTest, TheOptionsStartOffAndReachTheEstimateTheRunAndItsClosingMessage) {
  std::u16string novel;
  for (int i = 0; i < 60; ++i) novel += u"吾輩《わがはい》は猫である。［＃「猫」に傍点］\r\n";
  face.type(C::txtMaxLength, u"500");
  chooseFile(writeInput("neko.txt", cp932::encode(novel)));
  const struct {
    std::optional<ReadingChoices> answer;  // nothing: cancelled
    std::u16string files, note, used;      // the estimate's count and what closes it; the run's options
  } rows[] = {
      {ReadingChoices{AozoraMode::Bracket}, u"4", u"（ルビは括弧）", u"ルビを括弧で残す"},
      {std::nullopt, u"4", u"（ルビは括弧）", u"ルビを括弧で残す"},
      {ReadingChoices{}, u"6", std::u16string(window::texts::kEstimateAozora), u""},
      {ReadingChoices{AozoraMode::Strip, true, true, true}, u"3",
       u"（ルビなし・折り返し・見出しで分割・日付を1秒ずつ）",
       u"ルビを外す、長い行を折り返す、見出しで新しいファイルにする、日付を1秒ずつ進める"},
  };
  ReadingChoices kept;  // all off at start
  for (const auto& row : rows) {
    dialogs.optionAnswers.push_back(row.answer);
    face.click(C::comOptions);
    EXPECT_EQ(dialogs.optionsShown.back(), kept);
    kept = row.answer.value_or(kept);
    EXPECT_EQ(form.readingChoices(), kept);
    EXPECT_EQ(text(C::labFileInfo),
              u"2880bytes. だいたい" + row.files + u"個以上のファイルが作成されます。" + row.note);

    // A run, during which the dialog cannot be opened.
    const auto out = dir / std::to_string(dialogs.boxes.size());
    std::filesystem::create_directory(out);
    dialogs.folders.push_back(u16Path(out));
    dialogs.onFolder = [&] { face.click(C::comOptions); };
    const std::size_t shown = dialogs.optionsShown.size();
    face.click(C::comConvert);
    EXPECT_EQ(dialogs.optionsShown.size(), shown);
    ASSERT_FALSE(dialogs.boxes.empty());
    EXPECT_EQ(dialogs.boxes.back().text,
              u"ファイルの変換が完了しました！" + (row.used.empty() ? u"" : u"\nオプション: " + row.used));
    const auto records = recordsIn(out);
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(contains(records.begin()->second, "\x81\x73"), kept.aozora == AozoraMode::Keep);  // 《
    EXPECT_EQ(contains(std::next(records.begin())->second, "05:15:56 +0900\r\n"), kept.dateStep);
  }
}

}  // namespace
}  // namespace orvella::testing
