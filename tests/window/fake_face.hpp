// Controls without a toolkit: what each control holds, built from the control table, raising
// frmMain's events as a face does.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "window/face.hpp"
#include "window/frm_main.hpp"

namespace orvella::testing {

class FakeFace final : public window::Face {
 public:
  struct State {
    std::u16string text;
    std::u16string tip;
    bool enabled = true;
    bool checked = false;
    window::Rgb colour{0, 0, 0};
    int value = 0;
  };

  FakeFace() {
    for (const window::ControlRow& row : window::controlTable()) {
      states_[row.id] = {std::u16string(row.text), std::u16string(row.tip),
                         (row.traits & window::kDisabled) == 0, (row.traits & window::kChecked) != 0};
    }
  }

  void attach(window::frmMain& form) { form_ = &form; }
  const State& state(window::Control c) const { return states_.at(c); }

  // What the user does: typing (text passes keptText, as a face's input filter), a click.
  void type(window::Control c, std::u16string_view text) { setText(c, window::keptText(c, text)); }
  void click(window::Control c) {
    State& s = states_.at(c);
    if (!s.enabled) return;
    if (window::rowOf(c).kind == window::Kind::CheckBox) s.checked = !s.checked;
    form_->Click(c);
  }
  // Set by the program, as a face's property: no event.
  void setChecked(window::Control c, bool checked) { states_.at(c).checked = checked; }

  // The event loop returning: the tasks posted so far run.
  void runPosted() {
    while (!posted_.empty()) {
      auto task = std::move(posted_.front());
      posted_.pop_front();
      task();
    }
  }

  std::function<void()> onProcessEvents;  // what arrives while the window breathes
  int processed = 0;
  bool closed = false;

  std::u16string text(window::Control c) const override { return states_.at(c).text; }
  void setText(window::Control c, std::u16string_view text) override {
    State& s = states_.at(c);
    if (s.text == text) return;
    s.text = text;
    if (window::rowOf(c).kind == window::Kind::TextBox) form_->Change(c);
  }
  void setEnabled(window::Control c, bool enabled) override { states_.at(c).enabled = enabled; }
  void setTip(window::Control c, std::u16string_view tip) override { states_.at(c).tip = tip; }
  void setColour(window::Control c, window::Rgb colour) override { states_.at(c).colour = colour; }
  bool checked(window::Control c) const override { return states_.at(c).checked; }
  int value(window::Control c) const override { return states_.at(c).value; }
  void setValue(window::Control c, int value) override {
    State& s = states_.at(c);
    value = std::clamp(value, 0, window::rowOf(c).maximum);
    if (s.value == value) return;
    s.value = value;
    if (window::rowOf(c).kind == window::Kind::VScrollBar) form_->Change(c);
  }
  window::DialogOwner owner() const override { return {const_cast<FakeFace*>(this)}; }
  void processEvents() override {
    ++processed;
    if (onProcessEvents) onProcessEvents();
  }
  void post(std::function<void()> task) override { posted_.push_back(std::move(task)); }
  void close() override { closed = !form_->Form_QueryUnload(); }

 private:
  window::frmMain* form_ = nullptr;
  std::map<window::Control, State> states_;
  std::deque<std::function<void()>> posted_;
};

}  // namespace orvella::testing
