// Orvella's one window, without a toolkit: the handlers of frmMain, its state, and the host
// through which the conversion driver reports to the screen. It talks to its controls through a
// Face and to the user through Dialogs (see face.hpp for how a face drives it).
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/converter.hpp"
#include "core/message.hpp"
#include "window/bar_value.hpp"
#include "window/control_table.hpp"
#include "window/dialogs.hpp"
#include "window/face.hpp"
#include "window/reading_choices.hpp"

namespace orvella::window {

class frmMain : private ConvertHost {
 public:
  // Both must outlive the window. Nothing is shown until Form_Load().
  frmMain(Face& face, Dialogs& dialogs);

  // Handlers. A change made by the program runs the same handler as the user's change.
  void Check1_Click();
  void comConvert_Click();
  void comOptions_Click();
  void Command2_Click();
  void Form_Load();
  // True keeps the window open for now: a conversion is running, and it closes once the record
  // in hand is written.
  [[nodiscard]] bool Form_QueryUnload();
  void Timer1_Timer();
  void txtFrom_Change();
  void txtSubject_Change();
  void txtTo_Change();
  void VScroll1_Change();

  // The same, by the control the event came from; a control without such a handler ignores it.
  void Click(Control control);
  void Change(Control control);

  // Takes the named files as the input, the way a choice in the Open dialog does: one series in
  // this order, as the command line converts several texts. Paths, Subject, size and estimate;
  // when a file's size cannot be read, none is taken and a message names it. "...", the command
  // line and a drop all come here.
  void chooseFiles(const std::vector<std::u16string>& names);

  // Files that are not folders may be dropped, except during a conversion. `files` are the
  // dragged items' full paths, an empty one for an item that is no local file.
  [[nodiscard]] bool acceptsDrop(const std::vector<std::u16string>& files) const;
  // Takes the drop if acceptsDrop; the files are chosen once the drop's event has returned, so a
  // message box does not hold up the program they came from.
  bool drop(const std::vector<std::u16string>& files);

  bool converting() const { return converting_; }
  // What the options dialog was last left with; all off at start.
  const ReadingChoices& readingChoices() const { return choices_; }
  const orvella::Message& message() const { return message_; }
  const BarValue& bar() const { return bar_; }

  // Where Timer1_Timer takes the moment it stamps from; the system clock unless replaced.
  using DateSource = std::function<std::chrono::system_clock::time_point()>;
  void setDateSource(DateSource source);
  // Where the window learns of a request from outside to stop (a termination signal, a hang-up,
  // Ctrl-C in its terminal); none unless set. Once it says so, the window closes as its close box
  // does: at the next tick of the clock, or once the record in hand is written; and no message
  // box, which nobody may be there to answer, is shown.
  using StopSource = std::function<bool()>;
  void setStopSource(StopSource source) { stopSource_ = std::move(source); }
  // How often a conversion lets the window process its events; the clock is read every few
  // lines, except with an interval of 0, which breathes at every line.
  void setBreatheInterval(std::chrono::milliseconds interval) { breatheInterval_ = interval; }

 private:
  // The run with the fields' settings; nothing when the limit does not parse or no folder is
  // chosen, which the closing box then tells.
  std::optional<ConvertResult> Convert();
  // The box that ends a run: its closing message, with what reading the text taught.
  void closeWith(const ConvertResult& result);
  // A run that failed leaves the start number and the Subject serial where they stood before it,
  // so "変換" again rewrites the same series from its first record, each record replaced whole.
  void keepSeriesAfter(const ConvertResult& result, int startNumber, int serial);
  void DisableControl();
  void EnableControl();
  bool checkField(Control field, Control counter, std::int64_t limit);
  bool checkSubject();
  bool checkAddress(Control field, Control counter);
  // What the estimate needs of a text, read from its head with the choices as they stand.
  struct TextSize {
    std::int64_t bytes = 0;
    std::int64_t written = 0;  // in code page 932, as the notation choice leaves it
    bool aozora = false;       // in Aozora Bunko notation
    std::string encoding;      // its encoding's name when not code page 932
  };
  // Each text's, or nothing when one's size cannot be read, which a box then tells.
  std::optional<std::vector<TextSize>> measure(const std::vector<std::u16string>& names);
  // Size, estimate and the bar; the estimate closes with the choices that are on, or else names
  // a text in Aozora Bunko notation.
  void showFileInfo(const std::vector<TextSize>& sizes);
  // Each text's records carry its own name: several texts, the Subject from the file name, and
  // the box still showing the first one's.
  bool subjectsFromNames() const;
  void showBar();
  void showSpinner();
  void showRecord();
  void box(BoxIcon icon, std::u16string_view text);
  bool stopFromOutside() const { return stopSource_ && stopSource_(); }
  std::optional<std::vector<std::u16string>> droppable(const std::vector<std::u16string>& files) const;

  // ConvertHost
  std::u16string DateText() override;
  void Progress(std::int64_t add) override;
  void Breathe() override;
  bool StopRequested() override { return stopRequested_ || stopFromOutside(); }
  void SpinnerStep(int nextNumber) override;
  void InputRead(const InputReport& report) override;

  Face& face_;
  Dialogs& dialogs_;

  orvella::Message message_;
  DateSource dateSource_;
  StopSource stopSource_;
  BarValue bar_;
  int barShown_ = -1;                  // the step the face shows
  std::vector<std::u16string> files_;  // the texts chosen, in order
  ReadingChoices choices_;
  std::vector<std::string> inputNotes_;  // each text's line for the run's last message, if any
  std::optional<int> spinnerNext_;       // the number the spinner is to show, not yet shown
  // The run's closing message, shown once the run has ended.
  struct Box {
    BoxIcon icon;
    std::u16string text;
  };
  std::optional<Box> closingBox_;

  bool converting_ = false;
  bool stopRequested_ = false;
  bool closeAfterRun_ = false;

  using Clock = std::chrono::steady_clock;
  // Often enough for a click or the close box to feel immediate.
  std::chrono::milliseconds breatheInterval_{40};
  static constexpr std::chrono::milliseconds kScreenInterval{250};
  static constexpr int kLinesPerClockRead = 32;
  static constexpr std::int64_t kBytesPerClockRead = std::int64_t{256} * 1024;
  int linesSinceClock_ = 0;
  std::int64_t bytesSinceClock_ = 0;
  Clock::time_point breathed_;
  Clock::time_point screenShown_;  // the bar and the spinner
  Clock::time_point recordShown_;
  Clock::duration recordInterval_{0};
};

}  // namespace orvella::window
