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
using enum Kind;

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
// A whole number's decimal digits, as a field shows them.
struct Digits {
  explicit constexpr Digits(std::int64_t n) {
    char16_t reversed[kMost]{};
    do {
      reversed[size++] = static_cast<char16_t>(u'0' + n % 10);
      n /= 10;
    } while (n > 0);
    for (std::size_t i = 0; i < size; ++i) text[i] = reversed[size - 1 - i];
  }
  constexpr std::u16string_view view() const { return {text, size}; }
  static constexpr std::size_t kMost = 20;
  char16_t text[kMost]{};
  std::size_t size = 0;
};
constexpr Digits kDefaultLimitDigits{kDefaultLimit};
constexpr std::u16string_view kPattern = kDefaultPattern.view();
constexpr std::u16string_view kLimit = kDefaultLimitDigits.view();

// name, kind, place (left, top, width, height), text, tooltip, traits, maximum (when not 0)
// clang-format off
constexpr ControlRow kControls[] = {
    {C::Label7, "Label7", Label, {0, 0, 2295, 255}, kLabel7, {}, kBold},
    {C::txtFileName, "txtFileName", TextBox, {0, 240, 4305, 270}, {}, kTipFileName, kDisabled},
    {C::Command2, "Command2", CommandButton, {4320, 240, 255, 255}, kCommand2, kTipCommand2, 0},
    {C::Label3, "Label3", Label, {0, 750, 855, 255}, kLabel3, {}, kBold},
    {C::txtSubject, "txtSubject", TextBox, {840, 720, 3015, 270}, {}, kTipSubject, kHeaderField},
    {C::labSubject, "labSubject", Label, {3840, 750, 735, 255}, kZeroBytes, {}, 0},
    {C::Check1, "Check1", CheckBox, {840, 990, 2535, 255}, kCheck1, kTipCheck1, kChecked},
    {C::Check2, "Check2", CheckBox, {840, 1230, 1935, 255}, kCheck2, kTipCheck2, kChecked},
    {C::labSubjectFormat, "labSubjectFormat", Label, {2880, 1260, 735, 255}, kLabSubjectFormat, {}, kBold},
    {C::txtFormat, "txtFormat", TextBox, {3600, 1230, 975, 270}, kPattern, kTipFormat, kHeaderField},
    {C::Label1, "Label1", Label, {0, 1590, 855, 255}, kLabel1, {}, kBold},
    {C::txtFrom, "txtFrom", TextBox, {840, 1560, 3015, 270}, {}, kTipFrom, kHeaderField},
    {C::labFrom, "labFrom", Label, {3840, 1590, 735, 255}, kZeroBytes, {}, 0},
    {C::Label2, "Label2", Label, {0, 1830, 855, 255}, kLabel2, {}, kBold},
    {C::txtTo, "txtTo", TextBox, {840, 1800, 3015, 270}, {}, kTipTo, kHeaderField},
    {C::labTo, "labTo", Label, {3840, 1830, 735, 255}, kZeroBytes, {}, 0},
    {C::Label4, "Label4", Label, {0, 2190, 855, 255}, kLabel4, {}, kBold},
    {C::txtDate, "txtDate", TextBox, {840, 2160, 3015, 270}, {}, kTipDate, kDisabled | kFitsWidestDate},
    {C::Label5, "Label5", Label, {0, 2670, 1215, 255}, kLabel5, {}, kBold},
    {C::txtMaxLength, "txtMaxLength", TextBox, {1200, 2640, 975, 270}, kLimit, kTipMaxLength, 0},
    {C::Label6, "Label6", Label, {2280, 2670, 1335, 255}, kLabel6, {}, kBold},
    {C::txtStart, "txtStart", TextBox, {3720, 2640, 615, 270}, kStart, kTipStart, kDisabled},
    {C::comConvert, "comConvert", CommandButton, {2160, 3360, 2415, 375}, kComConvert, kTipConvert,
     kDisabled},
    // Left of comConvert, its bottom edge level with it; low enough that an estimate on two lines
    // stays clear of it.
    {C::comOptions, "comOptions", CommandButton, {0, 3480, 1335, 255}, kComOptions, kTipOptions, 0},
    {C::Line2, "Line2", Line, {0, 600, 4560, 15}, {}, {}, 0},
    {C::Line1, "Line1", Line, {0, 2520, 4560, 15}, {}, {}, 0},
    {C::Line3, "Line3", Line, {0, 2970, 4560, 15}, {}, {}, 0},
    {C::VScroll1, "VScroll1", VScrollBar, {4335, 2640, 225, 255}, {}, {}, 0, kLastFileNumber},
    {C::labFileInfo, "labFileInfo", Label, {0, 3000, 4575, 255}, {}, {}, kWraps},
    {C::ProgressBar1, "ProgressBar1", ProgressBar, {0, 3840, 4575, 300}, {}, {}, 0, kBarSteps},
    // Below the client area: it exists and takes the record, but is never seen.
    {C::txtAll, "txtAll", RecordView, {0, 4200, 4575, 1455}, {}, {}, 0},
};
// clang-format on

constexpr bool inControlOrder() {
  for (std::size_t i = 0; i < std::size(kControls); ++i) {
    if (kControls[i].id != static_cast<Control>(i)) return false;
  }
  return true;
}
static_assert(inControlOrder(), "rows follow Control's order");

constexpr Control kTabOrder[] = {C::Command2, C::txtSubject, C::Check1,     C::Check2,       C::txtFormat,
                                 C::txtFrom,  C::txtTo,      C::txtDate,    C::txtMaxLength, C::txtStart,
                                 C::VScroll1, C::comOptions, C::comConvert, C::txtFileName,  C::txtAll};

constexpr Control kLockList[] = {C::Check1,    C::Command2,   C::txtSubject, C::Check2,
                                 C::txtFormat, C::txtFrom,    C::txtTo,      C::txtMaxLength,
                                 C::VScroll1,  C::comConvert, C::comOptions};

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
  const auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
  constexpr int kDaysInALeapYear = 366;
  for (int day = 0; day < kDaysInALeapYear; ++day) {
    std::u16string stamp =
        *utf8ToUtf16(dateStamp(std::chrono::system_clock::time_point{} + std::chrono::days{day}));
    // cppcheck-suppress knownEmptyContainer ; cppcheck takes the dereferenced optional for empty
    std::replace_if(stamp.begin(), stamp.end(), isDigit, digit);
    if (width(stamp) > width(widest)) widest = stamp;
  }
  return widest;
}

}  // namespace orvella::window
