// Orvella's window on Qt Widgets: the controls of the control table, their events forwarded to
// frmMain, and the painting. What the window does lives in src/window/.
#pragma once

#include <QWidget>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "window/frm_main.hpp"

class QDragMoveEvent;
class QDropEvent;
class QTimer;

namespace orvella::ui {

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  // The dialogs object answers every dialog and message box; it must outlive the window.
  explicit MainWindow(window::Dialogs& dialogs, QWidget* parent = nullptr);
  ~MainWindow() override;

  window::frmMain& form() { return *form_; }

  // Puts the window in the middle of its screen's available area.
  void centreOnScreen();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  class Controls;

  void createControls();
  void connectEvents();
  void orderTabs();
  // cppcheck-suppress CastIntegerToAddressAtReturn ; controls_ holds pointers, cppcheck misreads the array
  QWidget* widget(window::Control control) const { return controls_[static_cast<std::size_t>(control)]; }
  // The items of a drag as frmMain reads them, with the action taken on them; empty when the
  // drag offers neither a copy nor a link.
  std::vector<std::u16string> draggedFiles(QDropEvent* event) const;

  std::array<QWidget*, window::kControlCount> controls_{};
  QTimer* Timer1 = nullptr;
  std::unique_ptr<Controls> face_;
  std::unique_ptr<window::frmMain> form_;
};

}  // namespace orvella::ui
