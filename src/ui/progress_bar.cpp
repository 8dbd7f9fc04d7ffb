#include "ui/progress_bar.hpp"

#include <algorithm>
#include <cmath>

namespace orvella::ui {

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent) {
  setRange(0, kSteps);
  setTextVisible(false);
  QProgressBar::setValue(0);
}

void ProgressBar::setValueF(double value) {
  holdValueF(value);
  showStep();
}

void ProgressBar::holdValueF(double value) {
  value_ = std::isnan(value) ? 0 : std::clamp(value, 0.0, std::max(maximum_, 0.0));
}

void ProgressBar::setMaximumF(double maximum) {
  maximum_ = std::isnan(maximum) ? 0 : maximum;
  value_ = std::clamp(value_, 0.0, std::max(maximum_, 0.0));
  showStep();
}

// Only a change of the shown step reaches QProgressBar, which repaints at once on a change.
void ProgressBar::showStep() {
  const int step = maximum_ > 0 ? static_cast<int>(std::floor(value_ / maximum_ * kSteps)) : 0;
  if (step != value()) QProgressBar::setValue(step);
}

}  // namespace orvella::ui
