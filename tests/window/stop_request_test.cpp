// A request from outside to stop (a termination signal, a hang-up, Ctrl-C in the terminal the
// window was started from) ends the window as its close box does (a run stopped so is in
// convert_command_test), and no box waits for an answer nobody may give.
#include "window_test.hpp"

namespace orvella::testing {
namespace {

using C = Control;

class StopTest : public WindowTest {
 protected:
  StopTest() {
    form.setStopSource([this] { return requested; });
  }
  bool requested = false;
};

TEST_F(StopTest, AnIdleWindowClosesAtTheNextClockTick) {
  form.Timer1_Timer();
  EXPECT_FALSE(face.closed);
  requested = true;
  form.Timer1_Timer();
  EXPECT_TRUE(face.closed);
}

TEST_F(StopTest, NoBoxIsShownOnceAStopIsRequested) {
  requested = true;
  dialogs.files.push_back({u16Path(dir / "gone.txt")});  // would warn that its size is unreadable
  face.click(C::Command2);
  EXPECT_TRUE(dialogs.boxes.empty());
}

}  // namespace
}  // namespace orvella::testing
