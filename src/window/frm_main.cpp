#include "window/frm_main.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <system_error>

#include "convert/defaults.hpp"
#include "convert/encoding.hpp"
#include "convert/header_values.hpp"
#include "convert/line_reader.hpp"
#include "convert/reasons.hpp"
#include "convert/texts.hpp"
#include "core/cp932.hpp"
#include "core/date_stamp.hpp"
#include "core/length_b.hpp"
#include "core/utf.hpp"
#include "window/estimate.hpp"
#include "window/paths.hpp"
#include "window/window_texts.hpp"

namespace orvella::window {

namespace {

using C = Control;

constexpr Rgb kCounterColour{0, 0, 0};
constexpr Rgb kOverColour{255, 0, 0};

constexpr std::array kOpenFilters = {FileFilter{texts::kFilterText, texts::kFilterTextPatterns},
                                     FileFilter{texts::kFilterAll, texts::kFilterAllPatterns}};

// The engine's texts are UTF-8 and valid; a bad byte would show as U+FFFD rather than nothing.
std::u16string u16(std::string_view utf8) {
  if (auto text = utf8ToUtf16(utf8)) return *text;
  std::u16string shown;
  for (const char c : utf8) shown += static_cast<unsigned char>(c) < 0x80 ? char16_t(c) : u'\uFFFD';
  return shown;
}

std::u16string number(std::int64_t n) { return u16(std::to_string(n)); }

// A message followed by the reason the system gave, in Japanese.
std::u16string withReason(std::u16string_view message, const std::string& reason) {
  return std::u16string(message) + std::u16string(texts::kReasonOpen) + u16(reason) +
         std::u16string(texts::kReasonClose);
}

// The Subject a text's name makes.
std::u16string subjectOf(std::u16string_view name) { return headerSafe(getFilename(name)); }

// The start number as the file names write it, with leading zeros.
std::u16string startText(int value) {
  static const std::size_t digits = std::to_string(kLastFileNumber).size();
  std::u16string text = number(value);
  if (text.size() < digits) text.insert(0, digits - text.size(), u'0');
  return text;
}

}  // namespace

frmMain::frmMain(Face& face, Dialogs& dialogs)
    : face_(face), dialogs_(dialogs), dateSource_(&std::chrono::system_clock::now) {}

void frmMain::setDateSource(DateSource source) {
  dateSource_ = source ? std::move(source) : DateSource(&std::chrono::system_clock::now);
}

void frmMain::Click(Control control) {
  switch (control) {
    case C::Check1:
      return Check1_Click();
    case C::Command2:
      return Command2_Click();
    case C::comConvert:
      return comConvert_Click();
    case C::comOptions:
      return comOptions_Click();
    default:
      return;
  }
}

void frmMain::Change(Control control) {
  switch (control) {
    case C::txtFrom:
      return txtFrom_Change();
    case C::txtSubject:
      return txtSubject_Change();
    case C::txtTo:
      return txtTo_Change();
    case C::VScroll1:
      return VScroll1_Change();
    default:
      return;
  }
}

// ---- Load and clock

void frmMain::Form_Load() {
  // The day and month names are constant tables of the date stamp; only the sender is set here,
  // which runs the From check.
  face_.setText(C::txtFrom, u16(kDefaultSender));
}

void frmMain::Timer1_Timer() {
  face_.setText(C::txtDate, u16(dateStamp(dateSource_())));
  if (stopFromOutside() && !converting_) face_.close();
}

// ---- Header field checks

bool frmMain::checkField(Control field, Control counter, std::int64_t limit) {
  const std::int32_t n = LengthB(face_.text(field));
  face_.setText(counter, number(n) + std::u16string(texts::kBytes));
  const bool over = n > limit;
  face_.setColour(counter, over ? kOverColour : kCounterColour);
  return !over;
}

bool frmMain::checkSubject() {
  return checkField(C::txtSubject, C::labSubject,
                    subjectLimit(face_.checked(C::Check2), LengthB(face_.text(C::txtFormat))));
}

bool frmMain::checkAddress(Control field, Control counter) {
  return checkField(field, counter, kMaxAddressBytes);
}

void frmMain::txtFrom_Change() { checkAddress(C::txtFrom, C::labFrom); }

void frmMain::txtTo_Change() { checkAddress(C::txtTo, C::labTo); }

void frmMain::txtSubject_Change() { checkSubject(); }

// ---- File choice and estimate

void frmMain::Command2_Click() {
  const std::vector<std::u16string> names = dialogs_.openFileNames(face_.owner(), kOpenFilters);
  if (!names.empty()) chooseFiles(names);
}

std::optional<std::vector<frmMain::TextSize>> frmMain::measure(const std::vector<std::u16string>& names) {
  std::vector<TextSize> sizes;
  for (const std::u16string& name : names) {
    const std::filesystem::path path = pathOf(name);
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) {
      box(BoxIcon::Warning, withReason(texts::kSizeUnreadable, reasonText(error)) + u'\n' + name);
      return std::nullopt;
    }
    // The head read here is all it takes.
    LineReader probe(path);
    TextSize& text = sizes.emplace_back();
    text.bytes = text.written = static_cast<std::int64_t>(size);
    if (probe.failure()) continue;
    if (probe.detection().encoding != TextEncoding::Cp932) text.encoding = encodingLabel(probe.detection());
    text.written = sizeAsWritten(text.bytes, probe.detection(), probe.head());
    const NotationLook look = lookAtNotation(probe, choices_.aozora);
    text.aozora = look.aozora;
    text.written = std::llround(static_cast<double>(text.written) * look.kept);
  }
  return sizes;
}

void frmMain::chooseFiles(const std::vector<std::u16string>& names) {
  if (names.empty()) return;
  const auto sizes = measure(names);
  if (!sizes) return;
  const bool several = names.size() > 1;
  // The tooltip lists several texts, and names an encoding other than code page 932.
  std::u16string tip(texts::kTipFileName);
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (several) tip += u'\n' + names[i];
    if (!(*sizes)[i].encoding.empty()) {
      tip += std::u16string(texts::kTipEncodingOpen) + u16((*sizes)[i].encoding) +
             std::u16string(texts::kTipEncodingClose);
    }
  }

  files_ = names;
  face_.setText(C::txtFileName,
                several ? lastComponent(names.front()) + std::u16string(texts::kOthersMiddle) +
                              number(std::int64_t(names.size() - 1)) + std::u16string(texts::kOthersEnd)
                        : names.front());
  face_.setTip(C::txtFileName, tip);
  if (face_.checked(C::Check1)) face_.setText(C::txtSubject, subjectOf(names.front()));
  face_.setEnabled(C::comConvert, true);
  showFileInfo(*sizes);
}

void frmMain::showFileInfo(const std::vector<TextSize>& sizes) {
  std::int64_t n = 0;
  bool aozora = false;
  for (const TextSize& text : sizes) {
    n += text.bytes;
    aozora = aozora || text.aozora;
  }
  bar_.setValue(0);
  bar_.setMaximum(n == 0 ? 1.0 : static_cast<double>(n));
  showBar();

  const auto limit = parseLimit(utf16ToUtf8(face_.text(C::txtMaxLength)));
  if (!limit) {
    face_.setText(C::labFileInfo, number(n) + std::u16string(texts::kSizeOnlyEnd));
    box(BoxIcon::Warning, u16(orvella::texts::kInvalidLimit));
    return;
  }
  // Each text opens a record of its own.
  std::int64_t c = 0;
  for (const TextSize& text : sizes) c += estimateFiles(text.written, *limit);
  // The choices that are on, else a word that the text has a choice of its own.
  std::u16string note = choicesNote(choices_);
  if (note.empty() && aozora) note = texts::kEstimateAozora;
  face_.setText(C::labFileInfo, number(n) + std::u16string(texts::kEstimateMiddle) + number(c) +
                                    std::u16string(texts::kEstimateEnd) + note);
  if (c > kMaxEstimate) {
    box(BoxIcon::Warning, std::u16string(texts::kTooManyFilesPrefix) + number(kMaxEstimate) +
                              std::u16string(texts::kTooManyFilesSuffix));
  }
}

// The estimate follows the choices; nothing else changes until a run.
void frmMain::comOptions_Click() {
  ReadingChoices edited = choices_;
  if (!dialogs_.options(face_.owner(), edited) || edited == choices_) return;
  choices_ = edited;
  if (files_.empty()) return;
  if (const auto sizes = measure(files_)) showFileInfo(*sizes);
}

void frmMain::Check1_Click() {
  if (!face_.checked(C::Check1)) {
    face_.setText(C::txtSubject, u"");
  } else {
    face_.setText(C::txtSubject, files_.empty() ? std::u16string() : subjectOf(files_.front()));
  }
}

// ---- Convert command

void frmMain::comConvert_Click() {
  // Each field against its own limit, every time: a red counter always blocks. Each check
  // repaints its counter, so what blocks is what shows red.
  const bool subjectOk = checkSubject();
  const bool fromOk = checkAddress(C::txtFrom, C::labFrom);
  const bool toOk = checkAddress(C::txtTo, C::labTo);
  if (!(subjectOk && fromOk && toOk)) {
    box(BoxIcon::Warning, texts::kFieldsTooLong);
    return;
  }
  // The box shows the first text's Subject only; the others' are held to the same limit.
  if (subjectsFromNames()) {
    const std::int64_t limit = subjectLimit(face_.checked(C::Check2), LengthB(face_.text(C::txtFormat)));
    for (const std::u16string& name : files_) {
      if (LengthB(subjectOf(name)) > limit) {
        box(BoxIcon::Warning, std::u16string(texts::kFieldsTooLong) + u'\n' + name);
        return;
      }
    }
  }
  DisableControl();
  converting_ = true;
  stopRequested_ = false;
  closingBox_.reset();
  const int startNumber = face_.value(C::VScroll1);
  const int serial = message_.subjectSerial();
  try {
    if (const auto result = Convert()) keepSeriesAfter(*result, startNumber, serial);
    if (closingBox_) box(closingBox_->icon, closingBox_->text);
  } catch (const std::system_error& e) {
    box(BoxIcon::Stop, withReason(texts::kUnexpectedFailure, reasonText(e.code())));
  } catch (...) {
    // Other exceptions carry only the library's English words; the user gets ours.
    box(BoxIcon::Stop, texts::kUnexpectedFailure);
  }
  converting_ = false;
  EnableControl();
  if (closeAfterRun_ || stopFromOutside()) face_.post([this] { face_.close(); });
}

void frmMain::DisableControl() {
  for (const Control c : lockList()) face_.setEnabled(c, false);
}

void frmMain::EnableControl() {
  for (const Control c : lockList()) face_.setEnabled(c, true);
}

void frmMain::keepSeriesAfter(const ConvertResult& result, int startNumber, int serial) {
  if (result.status == ConvertStatus::Completed || result.status == ConvertStatus::Stopped) return;
  face_.setValue(C::VScroll1, startNumber);
  message_.setSubjectSerial(serial);
  if (result.firstNumber && closingBox_) {
    closingBox_->text += u'\n' + std::u16string(texts::kRetryPrefix) + u16(fileNameFor(*result.firstNumber)) +
                         std::u16string(texts::kRetrySuffix);
  }
}

bool frmMain::subjectsFromNames() const {
  return files_.size() > 1 && face_.checked(C::Check1) &&
         face_.text(C::txtSubject) == subjectOf(files_.front());
}

std::optional<ConvertResult> frmMain::Convert() {
  const auto limit = parseLimit(utf16ToUtf8(face_.text(C::txtMaxLength)));
  if (!limit) {
    closingBox_ = Box{BoxIcon::Stop, u16(orvella::texts::kInvalidLimit)};
    return std::nullopt;
  }
  const std::u16string folder = dialogs_.selectFolder(face_.owner(), u16(orvella::texts::kFolderTitle));
  if (folder.empty()) {
    closingBox_ = Box{BoxIcon::Information, u16(orvella::texts::kCancelled)};
    return std::nullopt;
  }
  std::vector<ConvertInput> inputs;
  const bool ownSubjects = subjectsFromNames();
  for (const std::u16string& name : files_) {
    inputs.push_back({pathOf(name), ownSubjects ? std::optional(subjectOf(name)) : std::nullopt});
  }
  ConvertSettings settings;
  settings.folder = pathOf(withTrailingSeparator(folder));
  settings.limit = *limit;
  settings.startNumber = face_.value(C::VScroll1);
  settings.header.from = face_.text(C::txtFrom);
  settings.header.subject = face_.text(C::txtSubject);
  settings.header.serialOn = face_.checked(C::Check2);
  settings.header.pattern = face_.text(C::txtFormat);
  settings.header.to = face_.text(C::txtTo);
  settings.reading = readingOptions(choices_);

  breathed_ = recordShown_ = screenShown_ = Clock::now();
  recordInterval_ = Clock::duration::zero();
  linesSinceClock_ = 0;
  bytesSinceClock_ = 0;
  inputNotes_.clear();
  spinnerNext_.reset();
  const ConvertResult result = orvella::Convert(settings, inputs, message_, *this);
  showBar();
  showSpinner();
  showRecord();
  closeWith(result);
  return result;
}

void frmMain::VScroll1_Change() { face_.setText(C::txtStart, startText(face_.value(C::VScroll1))); }

bool frmMain::Form_QueryUnload() {
  if (!converting_) return false;
  // Stop at the end of the record being built, which is written whole, then close.
  stopRequested_ = true;
  closeAfterRun_ = true;
  return true;
}

// ---- Drops

std::optional<std::vector<std::u16string>> frmMain::droppable(
    const std::vector<std::u16string>& files) const {
  // While converting, "..." is locked; a drop must not change the input behind its back.
  if (converting_ || files.empty()) return std::nullopt;
  for (const std::u16string& file : files) {
    std::error_code error;
    if (file.empty() || std::filesystem::is_directory(pathOf(file), error)) return std::nullopt;
  }
  return files;
}

bool frmMain::acceptsDrop(const std::vector<std::u16string>& files) const {
  return droppable(files).has_value();
}

bool frmMain::drop(const std::vector<std::u16string>& files) {
  std::optional<std::vector<std::u16string>> names = droppable(files);
  if (!names) return false;
  face_.post([this, names = std::move(*names)] {
    if (!converting_) chooseFiles(names);
  });
  return true;
}

// ---- What the screen shows

// Whatever the box says, the bar and the spinner behind it show where the run stands.
void frmMain::box(BoxIcon icon, std::u16string_view text) {
  showBar();
  showSpinner();
  if (stopFromOutside()) return;
  dialogs_.message(face_.owner(), icon, text);
}

// Only a change of the shown step reaches the face, which paints at once.
void frmMain::showBar() {
  const int step = bar_.step();
  if (step == barShown_) return;
  barShown_ = step;
  face_.setValue(C::ProgressBar1, step);
}

// The record view is never seen, so it is brought up to date only now and then, and less often
// when the record is so large that decoding it would slow the run.
void frmMain::showRecord() {
  const Clock::time_point start = Clock::now();
  face_.setText(C::txtAll, cp932::decode(message_.curMessage()));
  recordShown_ = Clock::now();
  constexpr int kCostShare = 100;
  constexpr std::chrono::seconds kRecordInterval{1};
  recordInterval_ = std::max<Clock::duration>(kRecordInterval, (recordShown_ - start) * kCostShare);
}

// ---- ConvertHost

std::u16string frmMain::DateText() {
  // A run started within the first second would otherwise date its record with nothing.
  if (face_.text(C::txtDate).empty()) Timer1_Timer();
  return face_.text(C::txtDate);
}

// The bar is painted when the window breathes, not for every line.
void frmMain::Progress(std::int64_t add) {
  bar_.setValue(bar_.value() + static_cast<double>(add));
  bytesSinceClock_ += add;
}

// Called for every line: the clock is read only every few lines, or sooner after long ones.
void frmMain::Breathe() {
  if (breatheInterval_.count() > 0 && ++linesSinceClock_ < kLinesPerClockRead &&
      bytesSinceClock_ < kBytesPerClockRead) {
    return;
  }
  linesSinceClock_ = 0;
  bytesSinceClock_ = 0;
  const Clock::time_point now = Clock::now();
  if (now - breathed_ < breatheInterval_) return;
  // Painting a control costs a toolkit far more than handling an event: the screen follows the
  // run less often than the window breathes.
  if (breatheInterval_.count() == 0 || now - screenShown_ >= kScreenInterval) {
    showBar();
    showSpinner();
    screenShown_ = now;
  }
  if (now - recordShown_ >= recordInterval_) showRecord();
  face_.processEvents();
  breathed_ = Clock::now();
}

// Each record steps the spinner, which the face paints at once: shown when the window breathes.
void frmMain::SpinnerStep(int nextNumber) { spinnerNext_ = nextNumber; }

void frmMain::showSpinner() {
  if (!spinnerNext_) return;
  face_.setValue(C::VScroll1, *spinnerNext_);
  spinnerNext_.reset();
}

void frmMain::InputRead(const InputReport& report) { inputNotes_.push_back(completionNote(report)); }

void frmMain::closeWith(const ConvertResult& result) {
  if (result.message.empty()) return;  // stopped on request: nothing to tell
  BoxIcon icon = BoxIcon::Information;
  if (result.messageKind == MessageKind::Warning) icon = BoxIcon::Warning;
  if (result.messageKind == MessageKind::Error) icon = BoxIcon::Stop;
  std::u16string shown = u16(result.message);
  if (const std::u16string used = choicesLine(choices_);
      !used.empty() && result.status == ConvertStatus::Completed)
    shown += u'\n' + used;
  // Each text's note on a line of its own, after its name when there are several.
  for (std::size_t i = 0; i < inputNotes_.size(); ++i) {
    if (inputNotes_[i].empty()) continue;
    shown += u'\n';
    if (files_.size() > 1 && i < files_.size())
      shown += lastComponent(files_[i]) + std::u16string(texts::kNoteAfterName);
    shown += u16(inputNotes_[i]);
  }
  inputNotes_.clear();
  closingBox_ = Box{icon, std::move(shown)};
}

}  // namespace orvella::window
