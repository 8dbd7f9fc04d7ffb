#include "window/bar_value.hpp"

#include <algorithm>
#include <cmath>

#include "window/control_table.hpp"

namespace orvella::window {

void BarValue::setValue(double value) {
  value_ = std::isnan(value) ? 0 : std::clamp(value, 0.0, std::max(maximum_, 0.0));
}

void BarValue::setMaximum(double maximum) {
  maximum_ = std::isnan(maximum) ? 0 : maximum;
  value_ = std::clamp(value_, 0.0, std::max(maximum_, 0.0));
}

int BarValue::step() const {
  return maximum_ > 0 ? static_cast<int>(std::floor(value_ / maximum_ * kBarSteps)) : 0;
}

}  // namespace orvella::window
