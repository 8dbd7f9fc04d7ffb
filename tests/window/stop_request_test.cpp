// A request from outside to stop (a termination signal, a hang-up, Ctrl-C in the terminal the
// window was started from) ends the window as its close box does: a run writes the record in
// hand whole and stops, and no box waits for an answer nobody may give.
#include "window_test.hpp"

namespace orvella::testing {
namespace {

namespace fs = std::filesystem;
using C = Control;

class StopTest : public WindowTest {
 protected:
  StopTest() { form.setStopSource([this] { return requested; }); }
  bool requested = false;
};

TEST_F(StopTest, AnIdleWindowClosesAtTheNextClockTick) {
  form.Timer1_Timer();
  EXPECT_FALSE(face.closed);
  requested = true;
  form.Timer1_Timer();
  EXPECT_TRUE(face.closed);
}

TEST_F(StopTest, ARunWritesTheRecordInHandWholeThenTheWindowCloses) {
  form.setBreatheInterval(std::chrono::milliseconds(0));
  std::string lines;
  for (int i = 0; i < 30; ++i) lines += std::string(50, char('a' + i % 26)) + "\r\n";
  chooseFile(writeInput("a.txt", lines));
  face.type(C::txtMaxLength, u"250");  // two lines to a record
  const fs::path out = dir / "out";
  fs::create_directories(out);
  dialogs.folders.push_back(u16Path(out));
  face.onProcessEvents = [&] { requested = true; };
  face.click(C::comConvert);

  const auto files = recordsIn(out);
  ASSERT_EQ(files.size(), 1u);  // and no temporary beside it
  EXPECT_NE(files.at("E1__0000.VMG").find(std::string(50, 'a') + "\r\n\r\nEND:VBODY\r\nEND:VMSG\r\n"), std::string::npos);
  EXPECT_TRUE(dialogs.boxes.empty());
  face.runPosted();
  EXPECT_TRUE(face.closed);
}

TEST_F(StopTest, NoBoxIsShownOnceAStopIsRequested) {
  requested = true;
  dialogs.files.push_back(u16Path(dir / "gone.txt"));  // would warn that its size is unreadable
  face.click(C::Command2);
  EXPECT_TRUE(dialogs.boxes.empty());
}

}  // namespace
}  // namespace orvella::testing
