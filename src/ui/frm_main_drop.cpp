// A file dropped on the window is chosen as if through "...".
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <utility>

#include "ui/frm_main.hpp"

namespace orvella::ui {

QString frmMain::droppableFile(QDropEvent* event) const {
  // While converting, "..." is locked; a drop must not change the input behind its back.
  if (converting_) return {};
  const QMimeData* data = event->mimeData();
  if (!data || !data->hasUrls()) return {};
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
  const QString name = urls.front().toLocalFile();
  if (name.isEmpty() || QFileInfo(name).isDir()) return {};
  // A copy or a link, never a move: the source must not delete the file we took.
  if (event->possibleActions() & Qt::CopyAction) {
    event->setDropAction(Qt::CopyAction);
  } else if (event->possibleActions() & Qt::LinkAction) {
    event->setDropAction(Qt::LinkAction);
  } else {
    return {};
  }
  return QDir::toNativeSeparators(QFileInfo(name).absoluteFilePath());
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

void frmMain::dragMoveEvent(QDragMoveEvent* event) {
  if (droppableFile(event).isEmpty()) {
    event->ignore();  // the cursor shows the drop is refused
  } else {
    event->accept();
  }
}

void frmMain::dropEvent(QDropEvent* event) {
  const QString name = droppableFile(event);
  if (name.isEmpty()) {
    event->ignore();
    return;
  }
  event->accept();
  // After the drop returns, so a message box does not hold up the program the file came from.
  dropped_ = name;
  QMetaObject::invokeMethod(this, "chooseDropped", Qt::QueuedConnection);
}

void frmMain::chooseDropped() {
  const QString name = std::exchange(dropped_, QString());
  if (!name.isEmpty() && !converting_) chooseFile(name);
}

}  // namespace orvella::ui
