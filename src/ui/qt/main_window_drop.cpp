// A file dropped on the window goes to frmMain, which takes it as if chosen through "...".
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "ui/qt/main_window.hpp"

namespace orvella::ui {

std::vector<std::u16string> MainWindow::draggedFiles(QDropEvent* event) const {
  const QMimeData* data = event->mimeData();
  if (!data || !data->hasUrls()) return {};
  std::vector<std::u16string> files;
  for (const QUrl& url : data->urls()) {
    const QString name = url.isLocalFile() ? url.toLocalFile() : QString();
    files.push_back(name.isEmpty()
                        ? std::u16string()
                        : QDir::toNativeSeparators(QFileInfo(name).absoluteFilePath()).toStdU16String());
  }
  if (!form_->acceptsDrop(files)) return {};
  // A copy or a link, never a move: the source must not delete the file we took.
  if (event->possibleActions() & Qt::CopyAction) {
    event->setDropAction(Qt::CopyAction);
  } else if (event->possibleActions() & Qt::LinkAction) {
    event->setDropAction(Qt::LinkAction);
  } else {
    return {};
  }
  return files;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (draggedFiles(event).empty()) {
    event->ignore();  // the cursor shows the drop is refused
  } else {
    event->accept();
  }
}

void MainWindow::dropEvent(QDropEvent* event) {
  const std::vector<std::u16string> files = draggedFiles(event);
  if (files.empty() || !form_->drop(files)) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace orvella::ui
