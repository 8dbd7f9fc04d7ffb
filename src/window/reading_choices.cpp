#include "window/reading_choices.hpp"

#include "window/window_texts.hpp"

namespace orvella::window {

namespace {

using namespace texts;

// The step a record's Date takes on from the one before, when the choice is on.
constexpr std::int64_t kDateStepSeconds = 1;

constexpr AozoraChoice kAozoraChoices[] = {
    {AozoraMode::Keep, kAozoraKeep, "optAozoraKeep", {}},
    {AozoraMode::Strip, kAozoraStrip, "optAozoraStrip", kShortStrip},
    {AozoraMode::Bracket, kAozoraBracket, "optAozoraBracket", kShortBracket},
};

constexpr ChoiceCheck kChecks[] = {
    {&ReadingChoices::wrap, kWrapLines, "chkWrap", kShortWrap},
    {&ReadingChoices::breakAtHeadings, kBreakAtHeadings, "chkHeadings", kShortHeadings},
    {&ReadingChoices::dateStep, kDateStep, "chkDateStep", kShortDateStep},
};

// The choices that are on, in the dialog's order, by their short names or their captions.
std::u16string joined(const ReadingChoices& choices, std::u16string_view separator, bool shortNames) {
  std::u16string text;
  const auto add = [&](std::u16string_view shortName, std::u16string_view caption) {
    if (!text.empty()) text += separator;
    text += shortNames ? shortName : caption;
  };
  for (const AozoraChoice& c : kAozoraChoices) {
    if (c.mode == choices.aozora && c.mode != AozoraMode::Keep) add(c.shortName, c.caption);
  }
  for (const ChoiceCheck& c : kChecks) {
    if (choices.*c.on) add(c.shortName, c.caption);
  }
  return text;
}

}  // namespace

std::span<const AozoraChoice> aozoraChoices() { return kAozoraChoices; }

std::span<const ChoiceCheck> choiceChecks() { return kChecks; }

ReadingOptions readingOptions(const ReadingChoices& choices) {
  ReadingOptions options;
  options.aozora = choices.aozora;
  options.wrap = choices.wrap;
  options.breakAtHeadings = choices.breakAtHeadings;
  options.dateStepSeconds = choices.dateStep ? kDateStepSeconds : 0;
  return options;
}

std::u16string choicesNote(const ReadingChoices& choices) {
  const std::u16string names = joined(choices, kNoteSeparator, true);
  return names.empty() ? names : std::u16string(kNoteOpen) + names + std::u16string(kNoteClose);
}

std::u16string choicesLine(const ReadingChoices& choices) {
  const std::u16string names = joined(choices, kOptionsUsedSeparator, false);
  return names.empty() ? names : std::u16string(kOptionsUsed) + names;
}

}  // namespace orvella::window
