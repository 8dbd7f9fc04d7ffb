// A progress bar with a floating-point value and maximum, as large as a 64-bit file size,
// shown on QProgressBar's int range. The value is held at the maximum rather than passing it.
#pragma once

#include <QProgressBar>

namespace orvella::ui {

class ProgressBar : public QProgressBar {
  Q_OBJECT

 public:
  explicit ProgressBar(QWidget* parent = nullptr);

  double valueF() const { return value_; }
  double maximumF() const { return maximum_; }
  void setValueF(double value);      // shown at once
  void setMaximumF(double maximum);  // a maximum of 0 or less shows as empty

  // For a value that changes too often to paint each time: kept now, shown by showValue().
  void holdValueF(double value);
  void showValue() { showStep(); }

  static constexpr int kSteps = 10000;

 private:
  void showStep();

  double value_ = 0;
  double maximum_ = 100;
};

}  // namespace orvella::ui
