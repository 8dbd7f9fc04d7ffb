// The options dialog's choices: off at start, kept from one dialog to the next (a cancel keeps
// them), followed by the estimate, given to the run and named when it ends; locked during a run.
#include "window/reading_choices.hpp"

#include <optional>

#include "core/cp932.hpp"
#include "window/window_texts.hpp"
#include "window_test.hpp"

namespace orvella::testing {
namespace {

using C = Control;
using window::ReadingChoices;

TEST_F(WindowTest, TheOptionsStartOffAndReachTheEstimateTheRunAndItsClosingMessage) {
  EXPECT_EQ(form.readingChoices(), ReadingChoices{});
  std::u16string novel;
  for (int i = 0; i < 60; ++i) novel += u"吾輩《わがはい》は猫である。［＃「猫」に傍点］\r\n";
  face.type(C::txtMaxLength, u"500");
  chooseFile(writeInput("neko.txt", cp932::encode(novel)));
  const ReadingChoices all{AozoraMode::Strip, true, true, true};
  const ReadingChoices bracket{AozoraMode::Bracket, false, false, false};
  const std::u16string aozora(window::texts::kEstimateAozora);
  const struct {
    std::optional<ReadingChoices> answer;  // nothing: cancelled
    ReadingChoices kept;
    std::u16string files, note;  // the estimate's count, and what closes it
  } rows[] = {
      {bracket, bracket, u"4", u"（ルビは括弧）"},
      {std::nullopt, bracket, u"4", u"（ルビは括弧）"},
      {ReadingChoices{}, {}, u"6", aozora},
      {all, all, u"3", u"（ルビなし・折り返し・見出しで分割・日付を1秒ずつ）"},
  };
  for (const auto& row : rows) {
    const ReadingChoices before = form.readingChoices();
    dialogs.optionAnswers.push_back(row.answer);
    face.click(C::comOptions);
    EXPECT_EQ(dialogs.optionsShown.back(), before);
    EXPECT_EQ(form.readingChoices(), row.kept);
    EXPECT_EQ(text(C::labFileInfo),
              u"2880bytes. だいたい" + row.files + u"個以上のファイルが作成されます。" + row.note);
  }

  // A run with every choice on: ruby gone, each record a second after the one before, the choices
  // named; the dialog cannot be opened meanwhile.
  dialogs.folders.push_back(u16Path(dir.path()));
  dialogs.onFolder = [&] { face.click(C::comOptions); };
  const std::size_t shown = dialogs.optionsShown.size();
  face.click(C::comConvert);
  EXPECT_EQ(dialogs.optionsShown.size(), shown);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text,
            u"ファイルの変換が完了しました！\nオプション: ルビを外す、長い行を折り返す、"
            u"見出しで新しいファイルにする、日付を1秒ずつ進める");
  const auto records = recordsIn(dir.path());
  ASSERT_GE(records.size(), 2u);
  EXPECT_EQ(records.begin()->second.find("\x81\x73"), std::string::npos);  // 《
  EXPECT_NE(std::next(records.begin())->second.find("Date: Wed, 11 Feb 2004 05:15:56 +0900\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace orvella::testing
