#include "ui/qt/main_window.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QValidator>

#include <algorithm>
#include <limits>

#include "window/window_texts.hpp"

// Resources of a static library are linked in only when asked for by name.
static void loadIconResource() { Q_INIT_RESOURCE(orvella_icon); }

namespace orvella::ui {

namespace {

using window::Control;
using window::ControlRow;
using window::Kind;

QString qs(std::u16string_view text) { return QString::fromUtf16(text.data(), qsizetype(text.size())); }
std::u16string u16(const QString& text) { return text.toStdU16String(); }

QRect placeOf(const window::Place& p) {
  return QRect(window::pixels(p.left), window::pixels(p.top), window::pixels(p.width),
               window::pixels(p.height));
}

// Every size rendered from the one picture, so each screen takes the sharpest.
QIcon renderedIcon() {
  loadIconResource();
  QIcon icon;
  const QDir folder(QStringLiteral(":/icons"));
  for (const QString& name : folder.entryList(QDir::Files)) icon.addFile(folder.filePath(name));
  return icon;
}

// No Debian font carries the table's face by name, so it is mapped to a proportional Japanese
// gothic that is there.
void installFontSubstitutes() {
  QFont::insertSubstitutions(qs(window::kFontFace),
                             {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
}

// The window's own font is the labels' face without the bold, as on a Japanese desktop.
QFont windowFont() {
  QFont font(qs(window::kFontFace));
  font.setPointSize(window::kFontPoints);
  return font;
}

QFont boldFont() {
  QFont font = windowFont();
  font.setWeight(QFont::Bold);
  return font;
}

// What a header field keeps of whatever reaches it, typed, pasted or set.
class KeptText : public QValidator {
 public:
  KeptText(Control control, QObject* parent) : QValidator(parent), control_(control) {}
  State validate(QString& input, int&) const override {
    const std::u16string kept = window::keptText(control_, u16(input));
    if (kept != u16(input)) input = qs(kept);
    return Acceptable;
  }

 private:
  Control control_;
};

// Legibility wins over the twips by the few pixels the chosen font needs: the box grows to the
// right until the text fits whole, but never past the window's edge.
void widenToFit(QLineEdit* box, const QString& text) {
  QStyleOptionFrame option;
  option.initFrom(box);
  option.rect = box->rect();
  option.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
  const QRect inside = box->style()
                           ->subElementRect(QStyle::SE_LineEditContents, &option, box)
                           .marginsRemoved(box->textMargins());
  // QLineEdit's own margin on either side, and room for the cursor past the text.
  constexpr int kLineEditMargin = 2;
  constexpr int kCursorRoom = 2;
  const int need =
      box->fontMetrics().horizontalAdvance(text) + 2 * kLineEditMargin + kCursorRoom - inside.width();
  const int room = box->parentWidget()->width() - 1 - box->geometry().right();
  if (need > 0) box->resize(box->width() + std::min(need, room), box->height());
}

QWidget* makeControl(const ControlRow& row, QWidget* parent) {
  switch (row.kind) {
    case Kind::Label: {
      auto* label = new QLabel(qs(row.text), parent);
      label->setWordWrap((row.traits & window::kWraps) != 0);
      return label;
    }
    case Kind::TextBox: {
      auto* box = new QLineEdit(qs(row.text), parent);
      if (row.traits & window::kHeaderField) {
        // The counters, not the box, tell what is too long.
        box->setMaxLength(std::numeric_limits<int>::max());
        box->setValidator(new KeptText(row.id, box));
      }
      return box;
    }
    case Kind::RecordView: {
      auto* view = new QPlainTextEdit(qs(row.text), parent);
      view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      view->setTabChangesFocus(true);
      view->setUndoRedoEnabled(false);
      return view;
    }
    case Kind::CommandButton:
      return new QPushButton(qs(row.text), parent);
    case Kind::CheckBox: {
      auto* check = new QCheckBox(qs(row.text), parent);
      // Check2's caption fits its twips beside the indicator only with a tight gap.
      check->setStyleSheet(QStringLiteral("QCheckBox { spacing: 2px; }"));
      check->setChecked((row.traits & window::kChecked) != 0);
      return check;
    }
    case Kind::VScrollBar: {
      auto* spinner = new QScrollBar(Qt::Vertical, parent);
      spinner->setRange(0, row.maximum);
      spinner->setSingleStep(1);
      spinner->setPageStep(1);
      spinner->setFocusPolicy(Qt::StrongFocus);
      return spinner;
    }
    case Kind::ProgressBar: {
      auto* bar = new QProgressBar(parent);
      bar->setRange(0, row.maximum);
      bar->setTextVisible(false);
      bar->setValue(0);
      bar->setFocusPolicy(Qt::NoFocus);
      return bar;
    }
    case Kind::Line: {
      auto* line = new QFrame(parent);
      line->setFrameShape(QFrame::HLine);
      line->setFrameShadow(QFrame::Plain);
      line->setLineWidth(1);
      return line;
    }
  }
  return nullptr;
}

}  // namespace

// The face frmMain talks to: the widgets made from the table.
class MainWindow::Controls final : public window::Face {
 public:
  explicit Controls(MainWindow& window) : window_(window) {}

  std::u16string text(Control c) const override {
    QWidget* w = window_.widget(c);
    if (auto* label = qobject_cast<QLabel*>(w)) return u16(label->text());
    if (auto* box = qobject_cast<QLineEdit*>(w)) return u16(box->text());
    if (auto* view = qobject_cast<QPlainTextEdit*>(w)) return u16(view->toPlainText());
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return u16(button->text());
    return {};
  }

  void setText(Control c, std::u16string_view text) override {
    QWidget* w = window_.widget(c);
    const ControlRow& row = window::rowOf(c);
    if (auto* label = qobject_cast<QLabel*>(w)) {
      label->setText(qs(text));
      // A longer text wraps onto more lines, below the designed place and never cut.
      if (row.traits & window::kWraps) {
        label->resize(label->width(),
                      std::max(placeOf(row.place).height(), label->heightForWidth(label->width())));
      }
    } else if (auto* box = qobject_cast<QLineEdit*>(w)) {
      box->setText(qs(text));
      if (row.traits & window::kDisabled) box->setCursorPosition(0);
    } else if (auto* view = qobject_cast<QPlainTextEdit*>(w)) {
      view->setPlainText(qs(text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      button->setText(qs(text));
    }
  }

  void setEnabled(Control c, bool enabled) override { window_.widget(c)->setEnabled(enabled); }
  void setTip(Control c, std::u16string_view tip) override { window_.widget(c)->setToolTip(qs(tip)); }

  void setColour(Control c, window::Rgb colour) override {
    QWidget* w = window_.widget(c);
    QPalette palette = w->palette();
    palette.setColor(QPalette::WindowText, QColor(colour.red, colour.green, colour.blue));
    w->setPalette(palette);
  }

  bool checked(Control c) const override {
    auto* check = qobject_cast<QAbstractButton*>(window_.widget(c));
    return check && check->isChecked();
  }

  int value(Control c) const override {
    QWidget* w = window_.widget(c);
    if (auto* slider = qobject_cast<QAbstractSlider*>(w)) return slider->value();
    if (auto* bar = qobject_cast<QProgressBar*>(w)) return bar->value();
    return 0;
  }

  // QProgressBar repaints at once on a change it can show.
  void setValue(Control c, int value) override {
    QWidget* w = window_.widget(c);
    if (auto* slider = qobject_cast<QAbstractSlider*>(w)) slider->setValue(value);
    if (auto* bar = qobject_cast<QProgressBar*>(w))
      bar->setValue(std::clamp(value, bar->minimum(), bar->maximum()));
  }

  window::DialogOwner owner() const override { return {static_cast<QWidget*>(&window_)}; }
  void processEvents() override { QCoreApplication::processEvents(); }
  void post(std::function<void()> task) override {
    // Qt owns the queued call and frees it once run or dropped with the window.
    // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks)
    QMetaObject::invokeMethod(&window_, std::move(task), Qt::QueuedConnection);
  }
  void close() override {
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != &window_) modal->close();
    window_.close();
  }

 private:
  MainWindow& window_;
};

MainWindow::MainWindow(window::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      face_(std::make_unique<Controls>(*this)),
      form_(std::make_unique<window::frmMain>(*face_, dialogs)) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(qs(window::texts::kTitle));
  setWindowIcon(renderedIcon());
  setToolTip(qs(window::aboutText()));
  setFixedSize(window::pixels(window::kFormWidth), window::pixels(window::kFormHeight));
  installFontSubstitutes();
  setFont(windowFont());

  createControls();
  orderTabs();
  connectEvents();

  // Drops land on the window wherever they fall, not as text in a field.
  setAcceptDrops(true);
  for (QWidget* field : findChildren<QWidget*>()) field->setAcceptDrops(false);

  form_->Form_Load();
  Timer1->start();
  widget(window::kFirstFocus)->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls() {
  for (const ControlRow& row : window::controlTable()) {
    QWidget* w = makeControl(row, this);
    w->setObjectName(QString::fromLatin1(row.name.data(), qsizetype(row.name.size())));
    w->setGeometry(placeOf(row.place));
    if (!row.tip.empty()) w->setToolTip(qs(row.tip));
    w->setEnabled((row.traits & window::kDisabled) == 0);
    if (row.traits & window::kBold) w->setFont(boldFont());
    controls_[static_cast<std::size_t>(row.id)] = w;
  }
  for (const ControlRow& row : window::controlTable()) {
    if (!(row.traits & window::kFitsWidestDate)) continue;
    auto* box = static_cast<QLineEdit*>(widget(row.id));
    const QFontMetrics metrics = box->fontMetrics();
    widenToFit(box, qs(window::widestDateStamp(
                        [&](std::u16string_view text) { return metrics.horizontalAdvance(qs(text)); })));
  }

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(window::kTimer1Interval);
}

void MainWindow::orderTabs() {
  const auto order = window::tabOrder();
  for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(widget(order[i - 1]), widget(order[i]));
}

// Clicks and changes, the user's and the program's alike, go to the handlers.
void MainWindow::connectEvents() {
  connect(Timer1, &QTimer::timeout, this, [this] { form_->Timer1_Timer(); });
  for (const ControlRow& row : window::controlTable()) {
    QWidget* w = widget(row.id);
    const Control id = row.id;
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      connect(button, &QAbstractButton::clicked, this, [this, id] { form_->Click(id); });
    } else if (auto* box = qobject_cast<QLineEdit*>(w)) {
      connect(box, &QLineEdit::textChanged, this, [this, id] { form_->Change(id); });
    } else if (auto* slider = qobject_cast<QAbstractSlider*>(w)) {
      connect(slider, &QAbstractSlider::valueChanged, this, [this, id] { form_->Change(id); });
    }
  }
}

void MainWindow::centreOnScreen() {
  const QScreen* where = screen();
  if (!where) return;
  QRect frame = frameGeometry();
  frame.moveCenter(where->availableGeometry().center());
  move(frame.topLeft());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (form_->Form_QueryUnload()) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

}  // namespace orvella::ui
