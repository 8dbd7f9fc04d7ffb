// What the options dialog offers: how the text is to read on the handset. The window keeps the
// choices for as long as it is open and starts with all of them off; nothing is saved.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "convert/aozora.hpp"
#include "convert/converter.hpp"

namespace orvella::window {

struct ReadingChoices {
  AozoraMode aozora = AozoraMode::Keep;
  bool wrap = false;
  bool breakAtHeadings = false;
  bool dateStep = false;
  bool operator==(const ReadingChoices&) const = default;
};

// The dialog as data, in the order a face shows it: the Aozora Bunko choices as one group of
// radio buttons, then one check box for each switch. `name` is the control's name in every face;
// `shortName` what the estimate calls the choice when it is on.
struct AozoraChoice {
  AozoraMode mode;
  std::u16string_view caption;
  std::string_view name;
  std::u16string_view shortName;  // empty for the choice that changes nothing
};
struct ChoiceCheck {
  bool ReadingChoices::*on;
  std::u16string_view caption;
  std::string_view name;
  std::u16string_view shortName;
};
[[nodiscard]] std::span<const AozoraChoice> aozoraChoices();
[[nodiscard]] std::span<const ChoiceCheck> choiceChecks();

// The engine's options for the choices. Headings are the notation's own: the window takes no
// pattern of the user's.
[[nodiscard]] ReadingOptions readingOptions(const ReadingChoices& choices);

// The short names of the choices that are on, as the estimate closes with them: "（ルビなし・折り
// 返し）"; empty with all off.
[[nodiscard]] std::u16string choicesNote(const ReadingChoices& choices);
// The captions of the choices that are on, as a run's closing message lists them; empty with all
// off.
[[nodiscard]] std::u16string choicesLine(const ReadingChoices& choices);

}  // namespace orvella::window
