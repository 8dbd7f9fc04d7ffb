#include "ui/frm_main.hpp"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QValidator>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <limits>
#include <system_error>
#include <type_traits>
#include <variant>

#include "convert/defaults.hpp"
#include "convert/encoding.hpp"
#include "convert/line_reader.hpp"
#include "convert/header_values.hpp"
#include "convert/reasons.hpp"
#include "convert/texts.hpp"
#include "core/cp932.hpp"
#include "core/date_stamp.hpp"
#include "core/length_b.hpp"
#include "core/version.hpp"
#include "window/estimate.hpp"
#include "ui/paths.hpp"
#include "ui/progress_bar.hpp"
#include "ui/window_texts.hpp"

// Resources of a static library are linked in only when asked for by name.
static void loadIconResource() { Q_INIT_RESOURCE(orvella_icon); }

namespace orvella::ui {

namespace {

constexpr int kClientWidth = 305;   // 4575 twips
constexpr int kClientHeight = 275;  // 4125 twips

// The bold labels' face; no Debian font carries its name, so it is mapped to a proportional
// Japanese gothic that is there.
constexpr char16_t kLabelFace[] = u"ＭＳ Ｐゴシック";

// Positions are kept in twips, 15 to a pixel at 96 dpi.
QRect twips(int left, int top, int width, int height) {
  return QRect(left / 15, top / 15, width / 15, height / 15);
}

QString u8(const char* text) { return QString::fromUtf8(text); }

// Every size rendered from the one picture, so each screen takes the sharpest.
QIcon renderedIcon() {
  loadIconResource();
  QIcon icon;
  const QDir folder(QStringLiteral(":/icons"));
  for (const QString& name : folder.entryList(QDir::Files)) icon.addFile(folder.filePath(name));
  return icon;
}
QString u8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

std::u16string_view view(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())};
}

std::filesystem::path toPath(const QString& name) {
#ifdef Q_OS_WIN
  return std::filesystem::path(name.toStdWString());
#else
  return std::filesystem::path(QFile::encodeName(name).toStdString());
#endif
}

// Whatever reaches a header field, typed, pasted or set from a file name, brings no line break
// into the header: control characters become spaces.
class HeaderCharacters : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    const std::u16string_view text(reinterpret_cast<const char16_t*>(input.utf16()), size_t(input.size()));
    if (!isHeaderSafe(text)) {
      const std::u16string safe = headerSafe(text);
      input = QString::fromUtf16(safe.data(), qsizetype(safe.size()));
    }
    return Acceptable;
  }
};

void installFontSubstitutes() {
  QFont::insertSubstitutions(QString::fromUtf16(kLabelFace),
                             {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
}

// The window's own font is the labels' face without the bold, as on a Japanese desktop.
QFont windowFont() {
  QFont font(QString::fromUtf16(kLabelFace));
  font.setPointSize(9);
  return font;
}

QFont labelFont() {
  QFont font = windowFont();
  font.setWeight(QFont::Bold);
  return font;
}

template <class W>
W* place(QWidget* parent, const char* name, QRect geometry, const char* tip = nullptr) {
  auto* w = new W(parent);
  w->setObjectName(QString::fromLatin1(name));
  w->setGeometry(geometry);
  if (tip) w->setToolTip(u8(tip));
  return w;
}

QFrame* separator(QWidget* parent, const char* name, int top, int right) {
  auto* line = place<QFrame>(parent, name, QRect(0, top / 15, right / 15, 1));
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Plain);
  line->setLineWidth(1);
  return line;
}

// A header box takes any length; the counters, not the box, tell what is too long.
void takeAnyLength(QLineEdit* box) { box->setMaxLength(std::numeric_limits<int>::max()); }

// A read-only box shows its text from the first character, not scrolled to the last.
void setTextFromStart(QLineEdit* box, const QString& text) {
  box->setText(text);
  box->setCursorPosition(0);
}

// The stamp at its widest in this font: every day name meets every month name within a year,
// and each digit is made the widest digit.
QString widestDateStamp(const QFontMetrics& metrics) {
  QChar digit = u'0';
  for (char16_t d = u'1'; d <= u'9'; ++d) {
    if (metrics.horizontalAdvance(QChar(d)) > metrics.horizontalAdvance(digit)) digit = QChar(d);
  }
  QString widest;
  for (int d = 0; d < 366; ++d) {
    QString stamp = QString::fromStdString(dateStamp(std::chrono::system_clock::time_point{} + std::chrono::days{d}));
    for (qsizetype i = 0; i < stamp.size(); ++i) {
      if (stamp[i].isDigit()) stamp[i] = digit;
    }
    if (metrics.horizontalAdvance(stamp) > metrics.horizontalAdvance(widest)) widest = stamp;
  }
  return widest;
}

// Legibility wins over the twips by the few pixels the chosen font needs: the box grows to the
// right until the text fits whole, but never past the window's edge.
void widenToFit(QLineEdit* box, const QString& text) {
  QStyleOptionFrame option;
  option.initFrom(box);
  option.rect = box->rect();
  option.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
  const QRect inside = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box)
                           .marginsRemoved(box->textMargins());
  // QLineEdit's own margin on either side, and room for the cursor past the text.
  constexpr int kLineEditMargin = 2;
  constexpr int kCursorRoom = 2;
  const int need = box->fontMetrics().horizontalAdvance(text) + 2 * kLineEditMargin + kCursorRoom - inside.width();
  const int room = box->parentWidget()->width() - 1 - box->geometry().right();
  if (need > 0) box->resize(box->width() + std::min(need, room), box->height());
}

QRect fileInfoPlace() { return twips(0, 3000, 4575, 255); }

QString aboutText() { return u8(texts::kAboutPrefix) + u8(orvella::kVersion); }

// A message followed by the reason the system gave, in Japanese.
QString withReason(const char* message, const std::string& reason) {
  return u8(message) + u8(texts::kReasonOpen) + u8(reason) + u8(texts::kReasonClose);
}

void setTextColour(QLabel* label, const QColor& colour) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
}

}  // namespace

frmMain::frmMain(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      dialogs_(dialogs),
      dateSource_(&std::chrono::system_clock::now) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(u8(texts::kTitle));
  setWindowIcon(renderedIcon());
  setToolTip(aboutText());
  setFixedSize(kClientWidth, kClientHeight);
  installFontSubstitutes();
  setFont(windowFont());

  createControls();
  orderTabs();
  connectHandlers();
  lockList_ = {Check1,  Command2, txtSubject,   Check2,   txtFormat,
               txtFrom, txtTo,    txtMaxLength, VScroll1, comConvert};

  // Drops land on the window wherever they fall, not as text in a field.
  setAcceptDrops(true);
  for (QWidget* field : findChildren<QWidget*>()) field->setAcceptDrops(false);

  Form_Load();
  Timer1->start();
  Command2->setFocus();
}

frmMain::~frmMain() = default;

void frmMain::createControls() {
  using namespace texts;
  // Every plain control: the field it lands in (whose type makes the kind of control), its place
  // in twips, caption or start text, tooltip, whether it starts enabled and whether it is bold.
  using Field = std::variant<QLabel* frmMain::*, QLineEdit* frmMain::*, QPushButton* frmMain::*,
                             QCheckBox* frmMain::*>;
  struct Control {
    Field field;
    const char* name;
    int left, top, width, height;
    const char* text;
    const char* tip;
    bool enabled;
    bool bold;
  };
  const Control controls[] = {
      {&frmMain::Label7, "Label7", 0, 0, 2295, 255, kLabel7, nullptr, true, true},
      {&frmMain::txtFileName, "txtFileName", 0, 240, 4305, 270, "", kTipFileName, false, false},
      {&frmMain::Command2, "Command2", 4320, 240, 255, 255, kCommand2, kTipCommand2, true, false},
      {&frmMain::Label3, "Label3", 0, 750, 855, 255, kLabel3, nullptr, true, true},
      {&frmMain::txtSubject, "txtSubject", 840, 720, 3015, 270, "", kTipSubject, true, false},
      {&frmMain::labSubject, "labSubject", 3840, 750, 735, 255, kZeroBytes, nullptr, true, false},
      {&frmMain::Check1, "Check1", 840, 990, 2535, 255, kCheck1, kTipCheck1, true, false},
      {&frmMain::Check2, "Check2", 840, 1230, 1935, 255, kCheck2, kTipCheck2, true, false},
      {&frmMain::labSubjectFormat, "labSubjectFormat", 2880, 1260, 735, 255, kLabSubjectFormat, nullptr, true, true},
      {&frmMain::txtFormat, "txtFormat", 3600, 1230, 975, 270, kDefaultSerialPattern.data(), kTipFormat, true, false},
      {&frmMain::Label1, "Label1", 0, 1590, 855, 255, kLabel1, nullptr, true, true},
      {&frmMain::txtFrom, "txtFrom", 840, 1560, 3015, 270, "", kTipFrom, true, false},
      {&frmMain::labFrom, "labFrom", 3840, 1590, 735, 255, kZeroBytes, nullptr, true, false},
      {&frmMain::Label2, "Label2", 0, 1830, 855, 255, kLabel2, nullptr, true, true},
      {&frmMain::txtTo, "txtTo", 840, 1800, 3015, 270, "", kTipTo, true, false},
      {&frmMain::labTo, "labTo", 3840, 1830, 735, 255, kZeroBytes, nullptr, true, false},
      {&frmMain::Label4, "Label4", 0, 2190, 855, 255, kLabel4, nullptr, true, true},
      {&frmMain::txtDate, "txtDate", 840, 2160, 3015, 270, "", kTipDate, false, false},
      {&frmMain::Label5, "Label5", 0, 2670, 1215, 255, kLabel5, nullptr, true, true},
      {&frmMain::txtMaxLength, "txtMaxLength", 1200, 2640, 975, 270, kDefaultMaxLength.data(), kTipMaxLength, true, false},
      {&frmMain::Label6, "Label6", 2280, 2670, 1335, 255, kLabel6, nullptr, true, true},
      {&frmMain::txtStart, "txtStart", 3720, 2640, 615, 270, kStart, kTipStart, false, false},
      {&frmMain::comConvert, "comConvert", 2160, 3360, 2415, 375, kComConvert, kTipConvert, false, false},
  };
  for (const Control& c : controls) {
    std::visit(
        [&](auto field) {
          using T = std::remove_pointer_t<std::remove_reference_t<decltype(this->*field)>>;
          T* w = place<T>(this, c.name, twips(c.left, c.top, c.width, c.height), c.tip);
          w->setText(u8(c.text));
          w->setEnabled(c.enabled);
          if (c.bold) w->setFont(labelFont());
          this->*field = w;
        },
        c.field);
  }
  // Check2's caption fits its 1935 twips beside the indicator only with a tight gap.
  for (QCheckBox* check : {Check1, Check2}) {
    check->setStyleSheet(QStringLiteral("QCheckBox { spacing: 2px; }"));
    check->setChecked(true);
  }
  widenToFit(txtDate, widestDateStamp(txtDate->fontMetrics()));

  Line2 = separator(this, "Line2", 600, 4560);
  Line1 = separator(this, "Line1", 2520, 4560);
  Line3 = separator(this, "Line3", 2970, 4560);

  VScroll1 = place<QScrollBar>(this, "VScroll1", twips(4335, 2640, 225, 255));
  VScroll1->setOrientation(Qt::Vertical);
  VScroll1->setRange(0, kLastFileNumber);
  VScroll1->setSingleStep(1);
  VScroll1->setPageStep(1);
  VScroll1->setValue(0);
  VScroll1->setFocusPolicy(Qt::StrongFocus);

  labFileInfo = place<QLabel>(this, "labFileInfo", fileInfoPlace());
  labFileInfo->setWordWrap(true);
  ProgressBar1 = place<ProgressBar>(this, "ProgressBar1", twips(0, 3840, 4575, 300));
  ProgressBar1->setFocusPolicy(Qt::NoFocus);

  // Below the client area: it exists and takes the record, but is never seen.
  txtAll = place<QPlainTextEdit>(this, "txtAll", twips(0, 4200, 4575, 1455));
  txtAll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtAll->setTabChangesFocus(true);
  txtAll->setUndoRedoEnabled(false);

  auto* headerCharacters = new HeaderCharacters(this);
  for (QLineEdit* field : {txtSubject, txtFormat, txtFrom, txtTo}) {
    takeAnyLength(field);
    field->setValidator(headerCharacters);
  }

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(1000);
}

void frmMain::orderTabs() {
  // Tab indexes 0..20 of the controls that can take the focus; the labels and the bar never do.
  QWidget* const order[] = {Command2, txtSubject, Check1,   Check2,     txtFormat,
                            txtFrom,  txtTo,      txtDate,  txtMaxLength, txtStart,
                            VScroll1, comConvert, txtFileName, txtAll};
  for (size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void frmMain::connectHandlers() {
  connect(Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
  connect(Command2, &QPushButton::clicked, this, &frmMain::Command2_Click);
  connect(Check1, &QCheckBox::clicked, this, &frmMain::Check1_Click);
  connect(txtFrom, &QLineEdit::textChanged, this, &frmMain::txtFrom_Change);
  connect(txtTo, &QLineEdit::textChanged, this, &frmMain::txtTo_Change);
  connect(txtSubject, &QLineEdit::textChanged, this, &frmMain::txtSubject_Change);
  connect(comConvert, &QPushButton::clicked, this, &frmMain::comConvert_Click);
  connect(VScroll1, &QScrollBar::valueChanged, this, &frmMain::VScroll1_Change);
}

void frmMain::centreOnScreen() {
  const QScreen* where = screen();
  if (!where) return;
  QRect frame = frameGeometry();
  frame.moveCenter(where->availableGeometry().center());
  move(frame.topLeft());
}

void frmMain::setDateSource(DateSource source) {
  dateSource_ = source ? std::move(source) : DateSource(&std::chrono::system_clock::now);
}

// ---- Load and clock

void frmMain::Form_Load() {
  // The day and month names are constant tables of the date stamp; only the sender is set here,
  // which runs the From check.
  txtFrom->setText(u8(kDefaultSender));
}

void frmMain::Timer1_Timer() { setTextFromStart(txtDate, QString::fromStdString(dateStamp(dateSource_()))); }

// ---- Header field checks

void frmMain::checkField(QLineEdit* field, QLabel* counter, std::int64_t limit) {
  const std::int32_t n = LengthB(view(field->text()));
  counter->setText(QString::number(n) + u8(texts::kBytes));
  const bool over = n > limit;
  setTextColour(counter, over ? QColor(255, 0, 0) : QColor(0, 0, 0));
  fieldsOk_ = !over;
}

void frmMain::txtFrom_Change() { checkField(txtFrom, labFrom, kMaxAddressBytes); }

void frmMain::txtTo_Change() { checkField(txtTo, labTo, kMaxAddressBytes); }

void frmMain::txtSubject_Change() {
  checkField(txtSubject, labSubject, subjectLimit(Check2->isChecked(), LengthB(view(txtFormat->text()))));
}

// ---- File choice and estimate

void frmMain::Command2_Click() {
  const QString name = dialogs_.openFileName(this, {u8(texts::kFilterText), u8(texts::kFilterAll)});
  if (name.isEmpty()) return;
  chooseFile(name);
}

void frmMain::chooseFile(const QString& name) {
  std::error_code error;
  const auto size = std::filesystem::file_size(toPath(name), error);
  if (error) {
    box(BoxIcon::Warning, withReason(texts::kSizeUnreadable, reasonText(error)) + u'\n' + name);
    return;
  }

  setTextFromStart(txtFileName, name);
  // The tooltip names an encoding other than code page 932; the head read here is all it takes.
  const LineReader probe(toPath(name));
  QString tip = u8(texts::kTipFileName);
  if (probe.ok() && probe.detection().encoding != TextEncoding::Cp932) {
    tip += u8(texts::kTipEncodingOpen) + u8(encodingLabel(probe.detection())) + u8(texts::kTipEncodingClose);
  }
  txtFileName->setToolTip(tip);
  if (Check1->isChecked()) txtSubject->setText(getFilename(txtFileName->text()));
  comConvert->setEnabled(true);
  showFileInfo(static_cast<std::int64_t>(size));
}

void frmMain::showFileInfo(std::int64_t n) {
  ProgressBar1->setValueF(0);
  ProgressBar1->setMaximumF(n == 0 ? 1.0 : static_cast<double>(n));

  const auto limit = parseLimit(txtMaxLength->text().toStdString());
  if (!limit) {
    setFileInfo(QString::number(n) + u8(texts::kSizeOnlyEnd));
    box(BoxIcon::Warning, u8(orvella::texts::kInvalidLimit));
    return;
  }
  const std::int64_t c = window::estimateFiles(n, *limit);
  setFileInfo(QString::number(n) + u8(texts::kEstimateMiddle) + QString::number(c) +
              u8(texts::kEstimateEnd));
  if (c > window::kMaxEstimate) box(BoxIcon::Warning, u8(texts::kTooManyFilesPrefix) + QString::number(window::kMaxEstimate) + u8(texts::kTooManyFilesSuffix));
}

void frmMain::Check1_Click() {
  if (!Check1->isChecked()) {
    txtSubject->setText(QString());
  } else {
    txtSubject->setText(getFilename(txtFileName->text()));
  }
}

// ---- Convert command

void frmMain::comConvert_Click() {
  if (!fieldsOk_) {
    box(BoxIcon::Warning, u8(texts::kFieldsTooLong));
    return;
  }
  DisableControl();
  converting_ = true;
  stopRequested_ = false;
  try {
    Convert();
  } catch (const std::system_error& e) {
    box(BoxIcon::Stop, withReason(texts::kUnexpectedFailure, reasonText(e.code())));
  } catch (...) {
    // Other exceptions carry only the library's English words; the user gets ours.
    box(BoxIcon::Stop, u8(texts::kUnexpectedFailure));
  }
  converting_ = false;
  EnableControl();
  if (closeAfterRun_) QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void frmMain::DisableControl() {
  for (QWidget* w : lockList_) w->setEnabled(false);
}

void frmMain::EnableControl() {
  for (QWidget* w : lockList_) w->setEnabled(true);
}

void frmMain::Convert() {
  ConvertSettings settings;
  settings.input = toPath(txtFileName->text());
  settings.maxLength = txtMaxLength->text().toStdString();
  settings.startNumber = VScroll1->value();
  settings.header.from = txtFrom->text().toStdU16String();
  settings.header.subject = txtSubject->text().toStdU16String();
  settings.header.serialOn = Check2->isChecked();
  settings.header.pattern = txtFormat->text().toStdU16String();
  settings.header.to = txtTo->text().toStdU16String();

  breatheClock_.start();
  recordClock_.start();
  recordInterval_ = std::chrono::nanoseconds(0);
  linesSinceClock_ = 0;
  bytesSinceClock_ = 0;
  inputNote_.clear();
  orvella::Convert(settings, message_, *this);
  ProgressBar1->showValue();
  showRecord();
}

void frmMain::VScroll1_Change() {
  txtStart->setText(QString::number(VScroll1->value()).rightJustified(4, u'0'));
}

void frmMain::closeEvent(QCloseEvent* event) {
  if (converting_) {
    // Stop at the end of the record being built, which is written whole, then close.
    stopRequested_ = true;
    closeAfterRun_ = true;
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

// Whatever the box says, the bar behind it shows where the run stands.
void frmMain::box(BoxIcon icon, const QString& text) {
  ProgressBar1->showValue();
  dialogs_.message(this, icon, text);
}

// The estimate of a large file is wider than the window: it wraps onto a second line, which
// ends short of the convert button's left edge and so lies clear of it.
void frmMain::setFileInfo(const QString& text) {
  labFileInfo->setText(text);
  const int designed = fileInfoPlace().height();
  labFileInfo->resize(labFileInfo->width(), std::max(designed, labFileInfo->heightForWidth(labFileInfo->width())));
}

// The record view is never seen, so it is brought up to date only now and then, and less often
// when the record is so large that decoding it would slow the run.
void frmMain::showRecord() {
  QElapsedTimer cost;
  cost.start();
  const std::u16string text = cp932::decode(message_.curMessage());
  txtAll->setPlainText(QString::fromUtf16(text.data(), qsizetype(text.size())));
  recordInterval_ = std::max(std::chrono::nanoseconds(std::chrono::milliseconds(100)),
                             std::chrono::nanoseconds(cost.nsecsElapsed() * 20));
  recordClock_.restart();
}

// ---- ConvertHost

std::filesystem::path frmMain::SelectFolder() {
  const QString folder = dialogs_.selectFolder(this, u8(orvella::texts::kFolderTitle));
  return toPath(withTrailingSeparator(folder));
}

std::u16string frmMain::DateText() {
  // A run started within the first second would otherwise date its record with nothing.
  if (txtDate->text().isEmpty()) Timer1_Timer();
  return txtDate->text().toStdU16String();
}

// The bar is painted when the window breathes, not for every line.
void frmMain::Progress(std::int64_t add) {
  ProgressBar1->holdValueF(ProgressBar1->valueF() + static_cast<double>(add));
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
  if (breatheClock_.nsecsElapsed() < std::chrono::nanoseconds(breatheInterval_).count()) return;
  ProgressBar1->showValue();
  if (recordClock_.nsecsElapsed() >= recordInterval_.count()) showRecord();
  QCoreApplication::processEvents();
  breatheClock_.restart();
}

void frmMain::SpinnerStep(int nextNumber) { VScroll1->setValue(nextNumber); }

// The run stops at a failed write and its closing message names the file and the reason: one
// box, not two.
void frmMain::WriteFailed(const std::filesystem::path&, std::string_view) {}

void frmMain::InputRead(const InputReport& report) { inputNote_ = completionNote(report); }

void frmMain::Message(MessageKind kind, std::string_view text) {
  BoxIcon icon = BoxIcon::Information;
  if (kind == MessageKind::Warning) icon = BoxIcon::Warning;
  if (kind == MessageKind::Error) icon = BoxIcon::Stop;
  QString shown = u8(text);
  if (!inputNote_.empty()) {
    shown += u'\n' + u8(inputNote_);
    inputNote_.clear();
  }
  box(icon, shown);
}

}  // namespace orvella::ui
