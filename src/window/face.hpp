// What the window's behaviour (frmMain) asks of a face: its controls, and the window around them.
//
// How a face uses this layer:
//  1. Build one control for each row of controlTable() (control_table.hpp): its kind, its place
//     (twips, scaled to the screen), caption or start text, tooltip, traits and start state, in
//     the table's order; Tab follows tabOrder(); the window is kFormWidth x kFormHeight, titled
//     texts::kTitle, with aboutText() as its tooltip.
//  2. Implement Face on those controls, make a frmMain(face, dialogs), call Form_Load(), start a
//     timer of kTimer1Interval that calls Timer1_Timer(), and put the focus on kFirstFocus. The
//     program installs platform::installStopHandlers() first of all and gives frmMain
//     platform::stopRequested as its stop source.
//  3. Forward events: a click on a button or check box to Click(); every change of a text box's
//     text or of the spinner's value, the user's or the program's own through setText/setValue,
//     to Change(); text typed or pasted into a box through keptText(); a request to close to
//     Form_QueryUnload() (true: the window stays open for now); drags to acceptsDrop() and drops
//     to drop().
//  4. Paint. A face holds no rule of its own: limits, messages and what is locked live here.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "window/control_table.hpp"
#include "window/dialogs.hpp"

namespace orvella::window {

struct Rgb {
  std::uint8_t red, green, blue;
  bool operator==(const Rgb&) const = default;
};

class Face {
 public:
  virtual ~Face() = default;

  // Text of a label, text box, record view, button or check box.
  [[nodiscard]] virtual std::u16string text(Control control) const = 0;
  // A text box shows a text the user cannot edit from its first character.
  virtual void setText(Control control, std::u16string_view text) = 0;
  virtual void setEnabled(Control control, bool enabled) = 0;
  virtual void setTip(Control control, std::u16string_view tip) = 0;
  // The colour a label's text is painted in.
  virtual void setColour(Control control, Rgb colour) = 0;
  [[nodiscard]] virtual bool checked(Control control) const = 0;
  // The spinner's or the bar's value, within 0 and the row's maximum (a value outside is held
  // at the nearer end).
  [[nodiscard]] virtual int value(Control control) const = 0;
  // Painted by the next processEvents() at the latest.
  virtual void setValue(Control control, int value) = 0;

  // The window, as dialogs are given it.
  [[nodiscard]] virtual DialogOwner owner() const = 0;
  // Handles the events waiting (input, painting, the timer, a close request) and returns; a
  // conversion calls it between lines so the window stays live.
  virtual void processEvents() = 0;
  // Runs `task` once the event being handled has returned (dropped if the window goes first).
  virtual void post(std::function<void()> task) = 0;
  // Closes the window as its close box does (Form_QueryUnload is asked), a dialog or message box
  // it shows first: a stop requested from outside may come while one is open.
  virtual void close() = 0;
};

}  // namespace orvella::window
