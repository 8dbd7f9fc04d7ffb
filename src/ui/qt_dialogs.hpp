// The dialogs and message boxes of the running application, from Qt. They remember nothing:
// not within a run, and nothing is written for the next one.
#pragma once

#include "ui/dialogs.hpp"

namespace orvella::ui {

class QtDialogs final : public Dialogs {
 public:
  // The file dialog opens in the folder current now (where the program was started); the
  // folder dialog in the home folder. No dialog of the process writes settings afterwards.
  QtDialogs();

  QString openFileName(QWidget* owner, const QStringList& filters) override;
  QString selectFolder(QWidget* owner, const QString& title) override;
  void message(QWidget* owner, BoxIcon icon, const QString& text) override;

 private:
  QString startFolder_;
};

}  // namespace orvella::ui
