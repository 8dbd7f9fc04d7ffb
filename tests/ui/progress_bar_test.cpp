#include <gtest/gtest.h>

#include "ui/progress_bar.hpp"

namespace orvella::testing {
namespace {

using ui::ProgressBar;

TEST(ProgressBar, ShowsAFractionOfAMaximumBeyondTheIntRange) {
  ProgressBar bar;
  bar.setMaximumF(6'000'000'000.0);
  bar.setValueF(1'500'000'000.0);
  EXPECT_EQ(bar.valueF(), 1'500'000'000.0);
  EXPECT_EQ(bar.value(), ProgressBar::kSteps / 4);
  EXPECT_EQ(bar.maximum(), ProgressBar::kSteps);
}

TEST(ProgressBar, IsHeldAtItsMaximumInsteadOfPassingIt) {
  ProgressBar bar;
  bar.setMaximumF(100);
  bar.setValueF(99);
  bar.setValueF(bar.valueF() + 50);
  EXPECT_EQ(bar.valueF(), 100);
  EXPECT_EQ(bar.value(), ProgressBar::kSteps);
  bar.setValueF(-3);
  EXPECT_EQ(bar.valueF(), 0);
}

TEST(ProgressBar, ALowerMaximumPullsTheValueDown) {
  ProgressBar bar;
  bar.setMaximumF(1000);
  bar.setValueF(800);
  bar.setMaximumF(1);
  EXPECT_EQ(bar.valueF(), 1);
  EXPECT_EQ(bar.value(), ProgressBar::kSteps);
}

TEST(ProgressBar, AZeroMaximumShowsEmpty) {
  ProgressBar bar;
  bar.setMaximumF(0);
  bar.setValueF(10);
  EXPECT_EQ(bar.valueF(), 0);
  EXPECT_EQ(bar.value(), 0);
}

}  // namespace
}  // namespace orvella::testing

namespace orvella::testing {
namespace {

TEST(ProgressBar, AHeldValueIsPaintedOnlyWhenShown) {
  ui::ProgressBar bar;
  bar.setMaximumF(1000);
  bar.holdValueF(500);
  EXPECT_EQ(bar.valueF(), 500);
  EXPECT_EQ(bar.value(), 0);
  bar.holdValueF(bar.valueF() + 2000);  // still held at the maximum
  bar.showValue();
  EXPECT_EQ(bar.valueF(), 1000);
  EXPECT_EQ(bar.value(), ui::ProgressBar::kSteps);
}

}  // namespace
}  // namespace orvella::testing
