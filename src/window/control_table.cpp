#include "window/control_table.hpp"

#include <algorithm>
#include <array>

#include "convert/defaults.hpp"
#include "convert/header_values.hpp"
#include "core/date_stamp.hpp"
#include "core/message.hpp"
#include "core/utf.hpp"
#include "core/version.hpp"
#include "window/window_texts.hpp"

namespace orvella::window {

namespace {

using namespace texts;
using C = Control;
using K = Kind;

// An ASCII default of the engine's, as the window's text.
template <std::size_t N>
struct Widened {
  explicit constexpr Widened(std::string_view ascii) {
    for (std::size_t i = 0; i < N; ++i) text[i] = static_cast<char16_t>(ascii[i]);
  }
  constexpr std::u16string_view view() const { return {text, N}; }
  char16_t text[N]{};
};
constexpr Widened<kDefaultSerialPattern.size()> kDefaultPattern{kDefaultSerialPattern};
constexpr Widened<kDefaultMaxLength.size()> kDefaultLimit{kDefaultMaxLength};

// name, kind, place (left, top, width, height), text, tooltip, traits, maximum
constexpr ControlRow kControls[] = {
    {C::Label7, "Label7", K::Label, {0, 0, 2295, 255}, kLabel7, {}, kBold, 0},
    {C::txtFileName, "txtFileName", K::TextBox, {0, 240, 4305, 270}, {}, kTipFileName, kDisabled, 0},
    {C::Command2, "Command2", K::CommandButton, {4320, 240, 255, 255}, kCommand2, kTipCommand2, 0, 0},
    {C::Label3, "Label3", K::Label, {0, 750, 855, 255}, kLabel3, {}, kBold, 0},
    {C::txtSubject, "txtSubject", K::TextBox, {840, 720, 3015, 270}, {}, kTipSubject, kHeaderField, 0},
    {C::labSubject, "labSubject", K::Label, {3840, 750, 735, 255}, kZeroBytes, {}, 0, 0},
    {C::Check1, "Check1", K::CheckBox, {840, 990, 2535, 255}, kCheck1, kTipCheck1, kChecked, 0},
    {C::Check2, "Check2", K::CheckBox, {840, 1230, 1935, 255}, kCheck2, kTipCheck2, kChecked, 0},
    {C::labSubjectFormat, "labSubjectFormat", K::Label, {2880, 1260, 735, 255}, kLabSubjectFormat, {}, kBold, 0},
    {C::txtFormat, "txtFormat", K::TextBox, {3600, 1230, 975, 270}, kDefaultPattern.view(), kTipFormat, kHeaderField, 0},
    {C::Label1, "Label1", K::Label, {0, 1590, 855, 255}, kLabel1, {}, kBold, 0},
    {C::txtFrom, "txtFrom", K::TextBox, {840, 1560, 3015, 270}, {}, kTipFrom, kHeaderField, 0},
    {C::labFrom, "labFrom", K::Label, {3840, 1590, 735, 255}, kZeroBytes, {}, 0, 0},
    {C::Label2, "Label2", K::Label, {0, 1830, 855, 255}, kLabel2, {}, kBold, 0},
    {C::txtTo, "txtTo", K::TextBox, {840, 1800, 3015, 270}, {}, kTipTo, kHeaderField, 0},
    {C::labTo, "labTo", K::Label, {3840, 1830, 735, 255}, kZeroBytes, {}, 0, 0},
    {C::Label4, "Label4", K::Label, {0, 2190, 855, 255}, kLabel4, {}, kBold, 0},
    {C::txtDate, "txtDate", K::TextBox, {840, 2160, 3015, 270}, {}, kTipDate, kDisabled | kFitsWidestDate, 0},
    {C::Label5, "Label5", K::Label, {0, 2670, 1215, 255}, kLabel5, {}, kBold, 0},
    {C::txtMaxLength, "txtMaxLength", K::TextBox, {1200, 2640, 975, 270}, kDefaultLimit.view(), kTipMaxLength, 0, 0},
    {C::Label6, "Label6", K::Label, {2280, 2670, 1335, 255}, kLabel6, {}, kBold, 0},
    {C::txtStart, "txtStart", K::TextBox, {3720, 2640, 615, 270}, kStart, kTipStart, kDisabled, 0},
    {C::comConvert, "comConvert", K::CommandButton, {2160, 3360, 2415, 375}, kComConvert, kTipConvert, kDisabled, 0},
    {C::Line2, "Line2", K::Line, {0, 600, 4560, 15}, {}, {}, 0, 0},
    {C::Line1, "Line1", K::Line, {0, 2520, 4560, 15}, {}, {}, 0, 0},
    {C::Line3, "Line3", K::Line, {0, 2970, 4560, 15}, {}, {}, 0, 0},
    {C::VScroll1, "VScroll1", K::VScrollBar, {4335, 2640, 225, 255}, {}, {}, 0, kLastFileNumber},
    {C::labFileInfo, "labFileInfo", K::Label, {0, 3000, 4575, 255}, {}, {}, kWraps, 0},
    {C::ProgressBar1, "ProgressBar1", K::ProgressBar, {0, 3840, 4575, 300}, {}, {}, 0, kBarSteps},
    // Below the client area: it exists and takes the record, but is never seen.
    {C::txtAll, "txtAll", K::RecordView, {0, 4200, 4575, 1455}, {}, {}, 0, 0},
};

constexpr bool inControlOrder() {
  for (std::size_t i = 0; i < std::size(kControls); ++i) {
    if (kControls[i].id != static_cast<Control>(i)) return false;
  }
  return true;
}
static_assert(inControlOrder(), "rows follow Control's order");

constexpr Control kTabOrder[] = {C::Command2,    C::txtSubject, C::Check1,   C::Check2,   C::txtFormat,
                                 C::txtFrom,     C::txtTo,      C::txtDate,  C::txtMaxLength,
                                 C::txtStart,    C::VScroll1,   C::comConvert, C::txtFileName, C::txtAll};

constexpr Control kLockList[] = {C::Check1, C::Command2, C::txtSubject,   C::Check2,   C::txtFormat,
                                 C::txtFrom, C::txtTo,    C::txtMaxLength, C::VScroll1, C::comConvert};

}  // namespace

std::span<const ControlRow> controlTable() { return kControls; }

const ControlRow& rowOf(Control control) { return kControls[static_cast<std::size_t>(control)]; }

std::span<const Control> tabOrder() { return kTabOrder; }

std::span<const Control> lockList() { return kLockList; }

std::u16string aboutText() { return std::u16string(texts::kAboutPrefix) + *utf8ToUtf16(kVersion); }

std::u16string keptText(Control control, std::u16string_view text) {
  if ((rowOf(control).traits & kHeaderField) == 0) return std::u16string(text);
  return headerSafe(text);
}

std::u16string widestDateStamp(const std::function<int(std::u16string_view)>& width) {
  char16_t digit = u'0';
  for (char16_t d = u'1'; d <= u'9'; ++d) {
    if (width(std::u16string_view(&d, 1)) > width(std::u16string_view(&digit, 1))) digit = d;
  }
  std::u16string widest;
  constexpr int kDaysInALeapYear = 366;
  for (int day = 0; day < kDaysInALeapYear; ++day) {
    std::u16string stamp = *utf8ToUtf16(dateStamp(std::chrono::system_clock::time_point{} + std::chrono::days{day}));
    std::replace_if(stamp.begin(), stamp.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }, digit);
    if (width(stamp) > width(widest)) widest = stamp;
  }
  return widest;
}

}  // namespace orvella::window
