// The progress bar's value: a floating-point value and maximum, as large as a 64-bit file size,
// shown in kBarSteps steps. The value is held at the maximum rather than passing it.
#pragma once

namespace orvella::window {

class BarValue {
 public:
  double value() const { return value_; }
  double maximum() const { return maximum_; }
  void setValue(double value);
  void setMaximum(double maximum);  // a maximum of 0 or less shows as empty
  // The step of kBarSteps the value stands at.
  int step() const;

 private:
  double value_ = 0;
  double maximum_ = 100;
};

}  // namespace orvella::window
