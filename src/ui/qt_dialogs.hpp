// The dialogs and message boxes of the running application, from Qt.
#pragma once

#include "ui/dialogs.hpp"

namespace orvella::ui {

class QtDialogs final : public Dialogs {
 public:
  QString openFileName(QWidget* owner, const QStringList& filters) override;
  QString selectFolder(QWidget* owner, const QString& title) override;
  void message(QWidget* owner, BoxIcon icon, const QString& text) override;
};

}  // namespace orvella::ui
