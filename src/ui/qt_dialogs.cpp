#include "ui/qt_dialogs.hpp"

#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>

#include "ui/window_texts.hpp"

namespace orvella::ui {

namespace {

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

}  // namespace

QString QtDialogs::openFileName(QWidget* owner, const QStringList& filters) {
  QFileDialog dialog(owner);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(filters);
  keepAllFilesMeaningAll(dialog);
  if (dialog.exec() != QDialog::Accepted) return {};
  return QDir::toNativeSeparators(dialog.selectedFiles().value(0));
}

QString QtDialogs::selectFolder(QWidget* owner, const QString& title) {
  QFileDialog dialog(owner, title);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setWindowModality(Qt::WindowModal);
  if (dialog.exec() != QDialog::Accepted) return {};
  return QDir::toNativeSeparators(dialog.selectedFiles().value(0));
}

void QtDialogs::message(QWidget* owner, BoxIcon icon, const QString& text) {
  QMessageBox::Icon qtIcon = QMessageBox::Information;
  if (icon == BoxIcon::Warning) qtIcon = QMessageBox::Warning;
  if (icon == BoxIcon::Stop) qtIcon = QMessageBox::Critical;
  QMessageBox box(qtIcon, QString::fromUtf8(texts::kBoxTitle), text, QMessageBox::Ok, owner);
  box.exec();
}

}  // namespace orvella::ui
