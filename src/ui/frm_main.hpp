// Orvella's one window: the controls every conversion reads and writes, their handlers, and the
// host through which the conversion driver reports to the screen.
#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "convert/converter.hpp"
#include "core/message.hpp"
#include "ui/dialogs.hpp"

class QCheckBox;
class QDragMoveEvent;
class QDropEvent;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QTimer;

namespace orvella::ui {

class ProgressBar;

class frmMain : public QWidget, private ConvertHost {
  Q_OBJECT

 public:
  // The dialogs object answers every dialog and message box; it must outlive the window.
  explicit frmMain(Dialogs& dialogs, QWidget* parent = nullptr);
  ~frmMain() override;

  // Handlers. A change made by the program runs the same handler as the user's change.
  void Check1_Click();
  void comConvert_Click();
  void Command2_Click();
  void Form_Load();
  void Timer1_Timer();
  void txtFrom_Change();
  void txtSubject_Change();
  void txtTo_Change();
  void VScroll1_Change();

  // Takes the named file as the input, the way a choice in the Open dialog does: path, Subject,
  // size and estimate; a file whose size cannot be read is refused with a message. "...", the
  // command line and a drop all come here.
  void chooseFile(const QString& name);

  // The result of whichever field check ran last.
  bool fieldsOk() const { return fieldsOk_; }
  bool converting() const { return converting_; }
  const orvella::Message& message() const { return message_; }

  // Where Timer1_Timer takes the moment it stamps from; the system clock unless replaced.
  using DateSource = std::function<std::chrono::system_clock::time_point()>;
  void setDateSource(DateSource source);
  // How often a conversion lets the window process its events; the clock is read every 32 lines
  // (or 256 KiB), except with an interval of 0, which breathes at every line.
  void setBreatheInterval(std::chrono::milliseconds interval) { breatheInterval_ = interval; }

  // Puts the window in the middle of its screen's available area.
  void centreOnScreen();

 protected:
  void closeEvent(QCloseEvent* event) override;
  // One local file that is not a folder may be dropped, except during a conversion.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void createControls();
  void orderTabs();
  void connectHandlers();

  void Convert();
  void DisableControl();
  void EnableControl();
  void checkField(QLineEdit* field, QLabel* counter, std::int64_t limit);
  void showFileInfo(std::int64_t n);  // size, estimate and the bar for a file of n bytes
  void setFileInfo(const QString& text);
  void showRecord();
  void box(BoxIcon icon, const QString& text);
  // The file a drop would choose, with the action taken on it; empty when the drop is refused.
  QString droppableFile(QDropEvent* event) const;
  Q_INVOKABLE void chooseDropped();

  // ConvertHost
  std::filesystem::path SelectFolder() override;
  std::u16string DateText() override;
  void Progress(std::int64_t add) override;
  void Breathe() override;
  bool StopRequested() override { return stopRequested_; }
  void SpinnerStep(int nextNumber) override;
  void InputRead(const InputReport& report) override;
  void WriteFailed(const std::filesystem::path& file, std::string_view text) override;
  void Message(MessageKind kind, std::string_view text) override;

  Dialogs& dialogs_;

  QLabel* Label7 = nullptr;
  QLineEdit* txtFileName = nullptr;
  QPushButton* Command2 = nullptr;
  QLabel* Label3 = nullptr;
  QLineEdit* txtSubject = nullptr;
  QLabel* labSubject = nullptr;
  QCheckBox* Check1 = nullptr;
  QCheckBox* Check2 = nullptr;
  QLabel* labSubjectFormat = nullptr;
  QLineEdit* txtFormat = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* txtFrom = nullptr;
  QLabel* labFrom = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* txtTo = nullptr;
  QLabel* labTo = nullptr;
  QLabel* Label4 = nullptr;
  QLineEdit* txtDate = nullptr;
  QLabel* Label5 = nullptr;
  QLineEdit* txtMaxLength = nullptr;
  QLabel* Label6 = nullptr;
  QLineEdit* txtStart = nullptr;
  QScrollBar* VScroll1 = nullptr;
  QLabel* labFileInfo = nullptr;
  QPushButton* comConvert = nullptr;
  ProgressBar* ProgressBar1 = nullptr;
  QPlainTextEdit* txtAll = nullptr;
  QFrame* Line1 = nullptr;
  QFrame* Line2 = nullptr;
  QFrame* Line3 = nullptr;
  QTimer* Timer1 = nullptr;

  std::vector<QWidget*> lockList_;

  orvella::Message message_;
  bool fieldsOk_ = false;
  DateSource dateSource_;
  std::string inputNote_;  // the second line of the run's last message, if any

  QString dropped_;  // accepted, to be chosen once the drop is over
  bool converting_ = false;
  bool stopRequested_ = false;
  bool closeAfterRun_ = false;
  std::chrono::milliseconds breatheInterval_{15};
  static constexpr int kLinesPerClockRead = 32;
  static constexpr std::int64_t kBytesPerClockRead = std::int64_t{256} * 1024;
  int linesSinceClock_ = 0;
  std::int64_t bytesSinceClock_ = 0;
  QElapsedTimer breatheClock_;
  QElapsedTimer recordClock_;
  std::chrono::nanoseconds recordInterval_{0};
};

}  // namespace orvella::ui
