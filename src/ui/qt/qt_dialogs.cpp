#include "ui/qt/qt_dialogs.hpp"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QVBoxLayout>

#include <vector>

#include "window/window_texts.hpp"

namespace orvella::ui {

namespace {

QString qs(std::u16string_view text) { return QString::fromUtf16(text.data(), qsizetype(text.size())); }
QWidget* widgetOf(window::DialogOwner owner) { return static_cast<QWidget*>(owner.handle); }
QString nameOf(std::string_view name) { return QString::fromLatin1(name.data(), qsizetype(name.size())); }

// "*.*" means every file on Windows; Qt elsewhere reads it literally and hides names without a
// dot. Widen the filter the dialog applies, keeping the entry's text as it stands.
void keepAllFilesMeaningAll(QFileDialog& dialog) {
#ifndef Q_OS_WIN
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
    if (!filter.endsWith(QStringLiteral("(*.*)"))) return;
    if (auto* model = dialog.findChild<QFileSystemModel*>()) {
      model->setNameFilters({QStringLiteral("*")});
    }
  });
#else
  (void)dialog;
#endif
}

// Qt's file dialog keeps its history, last folder and layout in the user's settings of Qt
// itself (QtProject, the native format), reads them back when it opens and writes them when it
// closes. Orvella keeps nothing between runs, nor takes what other Qt programs kept: those
// settings are sent below the program's own file, where no folder can be made, so they read as
// empty and every write fails without leaving anything. (On Windows the native format is the
// registry, which this does not reach.)
// A platform theme's dialogs keep histories of their own (GTK's recently-used list and its
// settings) and filter by case: every dialog of the process is Qt's own. (Windows keeps its own
// pickers.)
void keepNothing() {
  static const bool done = [] {
    const QString nowhere = QCoreApplication::applicationFilePath() + QStringLiteral("/settings");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, nowhere);
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, nowhere);
#ifndef Q_OS_WIN
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
#endif
    return true;
  }();
  (void)done;
}

// Each dialog starts afresh: in a fixed folder, with nothing chosen and no history, never where
// the previous one ended. Made without a folder, a dialog would open where the last one was and
// keep that folder behind its Back button.
void startAfresh(QFileDialog& dialog) {
  dialog.setHistory({});
  dialog.selectFile(QString());
}

}  // namespace

QtDialogs::QtDialogs() : startFolder_(QDir::currentPath()) { keepNothing(); }

std::vector<std::u16string> QtDialogs::openFileNames(window::DialogOwner owner,
                                                     std::span<const window::FileFilter> filters) {
  QStringList entries;
  for (const window::FileFilter& filter : filters) entries << qs(filter.caption);
  QFileDialog dialog(widgetOf(owner), QString(), startFolder_);
  startAfresh(dialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setNameFilters(entries);
  keepAllFilesMeaningAll(dialog);
  if (dialog.exec() != QDialog::Accepted) return {};
  std::vector<std::u16string> names;
  for (const QString& file : dialog.selectedFiles())
    names.push_back(QDir::toNativeSeparators(file).toStdU16String());
  return names;
}

std::u16string QtDialogs::selectFolder(window::DialogOwner owner, std::u16string_view title) {
  QFileDialog dialog(widgetOf(owner), qs(title), QDir::homePath());
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setWindowModality(Qt::WindowModal);
  startAfresh(dialog);
  if (dialog.exec() != QDialog::Accepted) return {};
  return QDir::toNativeSeparators(dialog.selectedFiles().value(0)).toStdU16String();
}

bool QtDialogs::options(window::DialogOwner owner, window::ReadingChoices& choices) {
  QDialog dialog(widgetOf(owner));
  dialog.setObjectName(QStringLiteral("options"));
  dialog.setWindowTitle(qs(window::texts::kOptionsTitle));
  // A dialog is a window of its own and takes the application's font, not its owner's.
  if (QWidget* parent = widgetOf(owner)) dialog.setFont(parent->font());
  auto* layout = new QVBoxLayout(&dialog);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  auto* group = new QGroupBox(qs(window::texts::kAozoraGroup), &dialog);
  auto* groupLayout = new QVBoxLayout;
  std::vector<QRadioButton*> radios;
  for (const window::AozoraChoice& choice : window::aozoraChoices()) {
    auto* radio = new QRadioButton(qs(choice.caption), group);
    radio->setObjectName(nameOf(choice.name));
    radio->setChecked(choice.mode == choices.aozora);
    groupLayout->addWidget(radio);
    radios.push_back(radio);
  }
  group->setLayout(groupLayout);
  layout->addWidget(group);
  std::vector<QCheckBox*> checks;
  for (const window::ChoiceCheck& check : window::choiceChecks()) {
    auto* box = new QCheckBox(qs(check.caption), &dialog);
    box->setObjectName(nameOf(check.name));
    box->setChecked(choices.*check.on);
    layout->addWidget(box);
    checks.push_back(box);
  }
  auto* buttons = new QDialogButtonBox(&dialog);
  buttons->addButton(qs(window::texts::kOk), QDialogButtonBox::AcceptRole)->setDefault(true);
  buttons->addButton(qs(window::texts::kCancel), QDialogButtonBox::RejectRole);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);

  if (dialog.exec() != QDialog::Accepted) return false;
  const auto aozora = window::aozoraChoices();
  for (std::size_t i = 0; i < radios.size(); ++i) {
    if (radios[i]->isChecked()) choices.aozora = aozora[i].mode;
  }
  const auto on = window::choiceChecks();
  for (std::size_t i = 0; i < checks.size(); ++i) choices.*on[i].on = checks[i]->isChecked();
  return true;
}

void QtDialogs::message(window::DialogOwner owner, window::BoxIcon icon, std::u16string_view text) {
  QMessageBox::Icon qtIcon = QMessageBox::Information;
  if (icon == window::BoxIcon::Warning) qtIcon = QMessageBox::Warning;
  if (icon == window::BoxIcon::Stop) qtIcon = QMessageBox::Critical;
  QMessageBox box(qtIcon, qs(window::texts::kBoxTitle), qs(text), QMessageBox::Ok, widgetOf(owner));
  box.exec();
}

}  // namespace orvella::ui
