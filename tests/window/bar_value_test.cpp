#include "window/bar_value.hpp"

#include <gtest/gtest.h>

#include "window/control_table.hpp"

namespace orvella::testing {
namespace {

using window::BarValue;
using window::kBarSteps;

TEST(BarValue, ShowsAFractionOfAMaximumBeyondTheIntRange) {
  BarValue bar;
  bar.setMaximum(6'000'000'000.0);
  bar.setValue(1'500'000'000.0);
  EXPECT_EQ(bar.value(), 1'500'000'000.0);
  EXPECT_EQ(bar.step(), kBarSteps / 4);
}

TEST(BarValue, IsHeldAtItsMaximumInsteadOfPassingIt) {
  BarValue bar;
  bar.setMaximum(100);
  bar.setValue(99);
  bar.setValue(bar.value() + 50);
  EXPECT_EQ(bar.value(), 100);
  EXPECT_EQ(bar.step(), kBarSteps);
  bar.setValue(-3);
  EXPECT_EQ(bar.value(), 0);
}

TEST(BarValue, ALowerMaximumPullsTheValueDown) {
  BarValue bar;
  bar.setMaximum(1000);
  bar.setValue(800);
  bar.setMaximum(1);
  EXPECT_EQ(bar.value(), 1);
  EXPECT_EQ(bar.step(), kBarSteps);
}

TEST(BarValue, AZeroMaximumShowsEmpty) {
  BarValue bar;
  bar.setMaximum(0);
  bar.setValue(10);
  EXPECT_EQ(bar.value(), 0);
  EXPECT_EQ(bar.step(), 0);
}

}  // namespace
}  // namespace orvella::testing
