// What the window asks of dialogs and message boxes. The application answers with Qt's own
// dialogs (QtDialogs); tests answer with a script.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace orvella::ui {

enum class BoxIcon { Information, Warning, Stop };

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // A modal Open dialog offering the filters in the given order; the full path of one existing
  // file, or empty when cancelled.
  virtual QString openFileName(QWidget* owner, const QStringList& filters) = 0;

  // A modal choice among file-system folders, owned by owner and titled title; the folder's
  // path as chosen (the window adds the trailing separator), or empty when cancelled.
  virtual QString selectFolder(QWidget* owner, const QString& title) = 0;

  // A modal box with a single OK button, titled "Orvella"; returns when it is closed.
  virtual void message(QWidget* owner, BoxIcon icon, const QString& text) = 0;
};

}  // namespace orvella::ui
