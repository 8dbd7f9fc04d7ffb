// The window's controls as data, the one home both faces build from: every control's name, kind,
// place, caption or start text, tooltip and start state, the tab order, the font and the window's
// own size. The behaviour names controls by the same ids.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace orvella::window {

// In the order the controls are made, which is also the order they are stacked in (a later one
// lies over an earlier one).
enum class Control {
  Label7,
  txtFileName,
  Command2,
  Label3,
  txtSubject,
  labSubject,
  Check1,
  Check2,
  labSubjectFormat,
  txtFormat,
  Label1,
  txtFrom,
  labFrom,
  Label2,
  txtTo,
  labTo,
  Label4,
  txtDate,
  Label5,
  txtMaxLength,
  Label6,
  txtStart,
  comConvert,
  comOptions,
  Line2,
  Line1,
  Line3,
  VScroll1,
  labFileInfo,
  ProgressBar1,
  txtAll,
};
inline constexpr std::size_t kControlCount = static_cast<std::size_t>(Control::txtAll) + 1;

enum class Kind {
  Label,
  TextBox,     // one line
  RecordView,  // many lines, a vertical scroll bar always shown, Tab moves on
  CommandButton,
  CheckBox,
  VScrollBar,  // the spinner: the top arrow lowers the value, the bottom one raises it, by one
  ProgressBar,
  Line,  // a plain one-pixel separator
};

// Start states and traits, combined in ControlRow::traits.
enum Trait : std::uint32_t {
  kDisabled = 1 << 0,        // starts disabled
  kChecked = 1 << 1,         // a check box that starts ticked
  kBold = 1 << 2,            // the window's face in bold
  kHeaderField = 1 << 3,     // takes text of any length; typed or pasted text passes keptText()
  kWraps = 1 << 4,           // a label that grows downwards to show a longer text whole
  kFitsWidestDate = 1 << 5,  // a box that grows to the right to show widestDateStamp() whole
};

// Twips: 1440 to an inch, so 15 to a pixel at 96 dpi.
struct Place {
  int left, top, width, height;
};

struct ControlRow {
  Control id;
  std::string_view name;  // the control's name (ASCII) in every face
  Kind kind;
  Place place;
  std::u16string_view text;  // caption or start text
  std::u16string_view tip;   // empty: no tooltip
  std::uint32_t traits;
  int maximum = 0;  // VScrollBar and ProgressBar: values run from 0 to this
};

// Every control, in Control's order.
[[nodiscard]] std::span<const ControlRow> controlTable();
[[nodiscard]] const ControlRow& rowOf(Control control);

// The order Tab moves the focus in; controls that are disabled are skipped, and the ones not
// listed never take it.
[[nodiscard]] std::span<const Control> tabOrder();
inline constexpr Control kFirstFocus = Control::Command2;

// What a conversion locks, and unlocks afterwards.
[[nodiscard]] std::span<const Control> lockList();

// The window: its client area in twips, fixed; the face of every control, in points.
inline constexpr int kFormWidth = 4575;
inline constexpr int kFormHeight = 4125;
inline constexpr std::u16string_view kFontFace = u"ＭＳ Ｐゴシック";
inline constexpr int kFontPoints = 9;
// The title is texts::kTitle; the window's own tooltip is aboutText().
[[nodiscard]] std::u16string aboutText();

inline constexpr int kTwipsPerInch = 1440;
// Pixels for twips on a screen of dpi dots per inch.
constexpr int pixels(int twips, int dpi = 96) { return twips * dpi / kTwipsPerInch; }

// Timer1 calls Timer1_Timer this often, from Form_Load on.
inline constexpr std::chrono::milliseconds kTimer1Interval{1000};

// The bar shows its value in this many steps, so a size beyond any int range fits.
inline constexpr int kBarSteps = 10000;

// What a header field keeps of text typed or pasted into it (kHeaderField): whatever reaches a
// header brings no line break into it, so control characters become spaces. Other controls keep
// the text as it is.
[[nodiscard]] std::u16string keptText(Control control, std::u16string_view text);

// The Date stamp at its widest as `width` measures text in the face's font: every day name meets
// every month name within a year, and each digit is made the widest digit.
[[nodiscard]] std::u16string widestDateStamp(const std::function<int(std::u16string_view)>& width);

}  // namespace orvella::window
