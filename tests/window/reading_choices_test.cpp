// The options dialog's choices: off at start, kept from one dialog to the next (a cancel keeps
// them), followed by the estimate, given to the run and named when it ends; locked during a run.
#include "window/reading_choices.hpp"

#include <optional>

#include "core/cp932.hpp"
#include "support/program.hpp"
#include "window/window_texts.hpp"
#include "window_test.hpp"

namespace orvella::testing {
namespace {

using C = Control;
using window::ReadingChoices;

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
