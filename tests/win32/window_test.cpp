// The Win32 face in-process, driven through its window messages with scripted dialogs: that it
// builds the table, and that what the user does reaches frmMain and what frmMain sets is painted.
// What the handlers do is tested once, in tests/window/.
#include "window/window_test.hpp"

#include <windows.h>
// The other system headers build on windows.h.
#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <functional>

#include "support/program.hpp"
#include "win32/main_window.hpp"
#include "win32/options_dialog.hpp"
#include "win32/system_dialogs.hpp"
#include "window/command_line.hpp"
#include "window/window_texts.hpp"

namespace orvella::testing {
namespace {

namespace fs = std::filesystem;
using C = Control;
using window::Kind;

class Win32WindowTest : public ::testing::Test {
 protected:
  Win32WindowTest() { window.form().setDateSource(&fixedMoment); }

  HWND at(C c) const { return window.control(c); }
  std::u16string text(C c) const { return window.text(c); }
  int px(int twips) const { return window::pixels(twips, window.dpi()); }
  void set(C c, std::u16string_view t) {
    ::SendMessageW(at(c), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(std::wstring(t.begin(), t.end()).c_str()));
  }
  void click(C c) { ::SendMessageW(at(c), BM_CLICK, 0, 0); }
  RECT place(C c) const {
    RECT r{};
    ::GetWindowRect(at(c), &r);
    ::MapWindowPoints(nullptr, window.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  COLORREF painted(C c) const {
    const HDC dc = ::CreateCompatibleDC(nullptr);
    ::SendMessageW(window.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(at(c)));
    const COLORREF colour = ::GetTextColor(dc);
    ::DeleteDC(dc);
    return colour;
  }
  // Files dropped as Explorer drops them; what the drop posts is run.
  void drop(const std::vector<fs::path>& files) {
    std::wstring list;
    for (const fs::path& f : files) list += f.wstring() + L'\0';
    list += L'\0';
    const HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    auto* head = static_cast<DROPFILES*>(::GlobalLock(memory));
    head->pFiles = sizeof(DROPFILES);
    head->fWide = TRUE;
    std::memcpy(head + 1, list.data(), list.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    ::SendMessageW(window.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    window.processEvents();
  }

  ScriptedDialogs dialogs;
  win32::MainWindow window{dialogs};
  TempDir dir;
};

TEST_F(Win32WindowTest, EveryControlStandsAtItsPlaceInItsStartStateAtEitherDpi) {
  // Moved to a monitor of 150 %, as Windows tells a per-monitor aware window.
  RECT suggested{0, 0, 1, 1};
  for (const bool moved : {false, true}) {
    if (moved) {
      ::SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                     reinterpret_cast<LPARAM>(&suggested));
      ASSERT_EQ(window.dpi(), 144);
    }
    RECT client{};
    ::GetClientRect(window.hwnd(), &client);
    EXPECT_EQ(client.right, px(window::kFormWidth));
    EXPECT_EQ(client.bottom, px(window::kFormHeight));
    for (const window::ControlRow& row : window::controlTable()) {
      SCOPED_TRACE(std::string(row.name));
      const RECT r = place(row.id);
      EXPECT_EQ(r.left, px(row.place.left));
      EXPECT_EQ(r.top, px(row.place.top));
      EXPECT_EQ(r.bottom - r.top, px(row.place.height));
      // The date box grows to the right to show the widest stamp, within the window.
      if (row.traits & window::kFitsWidestDate) {
        EXPECT_GT(r.right - r.left, px(row.place.width));
        EXPECT_LE(r.right, client.right);
      } else {
        EXPECT_EQ(r.right - r.left, px(row.place.width));
      }
      EXPECT_EQ(::IsWindowEnabled(at(row.id)) == FALSE, (row.traits & window::kDisabled) != 0);
      if (row.kind == Kind::CheckBox) {
        EXPECT_EQ(window.checked(row.id), (row.traits & window::kChecked) != 0);
      }
    }
  }
}

TEST_F(Win32WindowTest, TabVisitsTheEnabledControlsInTabOrderAndComesRound) {
  ::SetForegroundWindow(window.hwnd());
  ::SetFocus(at(window::kFirstFocus));
  std::vector<C> expected;
  for (const C c : window::tabOrder()) {
    if (::IsWindowEnabled(at(c))) expected.push_back(c);
  }
  std::vector<C> visited;
  for (std::size_t i = 0; i <= expected.size(); ++i) {
    visited.push_back(static_cast<C>(::GetDlgCtrlID(::GetFocus()) - win32::kFirstControlId));
    ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    window.processEvents();
  }
  expected.push_back(expected.front());
  EXPECT_EQ(visited, expected);
}

TEST_F(Win32WindowTest, TypedTextReachesTheCountersWhichTurnRedPastTheirLimits) {
  const struct {
    C field, counter;
    std::u16string text, shown;
    bool red;
  } cases[] = {
      {C::txtTo, C::labTo, std::u16string(32, u'あ'), u"64bytes", false},
      {C::txtTo, C::labTo, std::u16string(33, u'あ'), u"66bytes", true},
      {C::txtFrom, C::labFrom, std::u16string(65, u'a'), u"65bytes", true},
      {C::txtSubject, C::labSubject, std::u16string(48, u'あ'), u"96bytes", false},
      {C::txtSubject, C::labSubject, std::u16string(97, u'a'), u"97bytes", true},
  };
  for (const auto& c : cases) {
    set(c.field, c.text);
    EXPECT_EQ(text(c.counter), c.shown);
    EXPECT_EQ(painted(c.counter), c.red ? RGB(255, 0, 0) : RGB(0, 0, 0)) << u8(c.shown);
  }
}

TEST_F(Win32WindowTest, ALineBreakSetInAnyHeaderBoxBecomesASpace) {
  for (const C field : {C::txtSubject, C::txtFrom, C::txtTo, C::txtFormat}) {
    set(field, u"x\r\nEND:VMSG\ty");
    EXPECT_EQ(text(field), u"x  END:VMSG\ty");
  }
}

TEST_F(Win32WindowTest, TheSpinnerMovesByOneWithinItsBoundsAndRewritesTheStartNumber) {
  const struct {
    int request;
    std::u16string start;
  } steps[] = {{SB_LINEUP, u"0000"}, {SB_LINEDOWN, u"0001"}, {SB_PAGEDOWN, u"0002"}, {SB_LINEUP, u"0001"},
               {SB_BOTTOM, u"9999"}, {SB_LINEDOWN, u"9999"}, {SB_PAGEUP, u"9998"},   {SB_TOP, u"0000"}};
  for (const auto& s : steps) {
    ::SendMessageW(window.hwnd(), WM_VSCROLL, MAKEWPARAM(s.request, 0),
                   reinterpret_cast<LPARAM>(at(C::VScroll1)));
    EXPECT_EQ(text(C::txtStart), s.start) << s.request;
  }
}

TEST_F(Win32WindowTest, ADropOrTheCommandLineChoosesItsFilesInOrderButNoFolder) {
  const fs::path file = dir.path() / pathFromUtf8("小説.txt");
  writeFile(file, "abc\r\n");
  const fs::path other = dir / "other.txt";
  writeFile(other, "def\r\n");
  const struct {
    std::vector<fs::path> files;
    std::u16string shown;
  } cases[] = {{{file}, file.u16string()}, {{other, file}, u"other.txt ほか1件"}, {{file, dir.path()}, u""}};
  for (const bool byArguments : {false, true}) {
    for (const auto& c : cases) {
      set(C::txtFileName, u"");
      if (byArguments) {
        std::vector<std::wstring> line{L"orvella.exe"};
        for (const fs::path& f : c.files) line.push_back(f.wstring());
        window.takeArguments(line);
        window.processEvents();
      } else {
        drop(c.files);
      }
      EXPECT_EQ(text(C::txtFileName), c.shown) << c.files.size() << byArguments;
    }
  }
  EXPECT_EQ(text(C::txtSubject), u"other");
}

// One run per folder: inside it the inputs are locked (the options button too) and a drop is
// refused; the box tells how it ended, and the records are the command line's bytes.
TEST_F(Win32WindowTest, ARunLocksTheInputsAndEndsWithItsBox) {
  const fs::path input = dir / "novel.txt";
  writeFile(input, "第一章 吾輩は猫である。\r\nｱｲｳ ABC\r\n最後の行");
  ::SendMessageW(window.hwnd(), WM_TIMER, 1, 0);
  EXPECT_EQ(text(C::txtDate), u16(kFixedDate));
  const fs::path out = dir.path() / pathFromUtf8("出力");
  fs::create_directories(out);
  // The options button asks the dialogs, as the window's.
  dialogs.optionAnswers.push_back(window::ReadingChoices{});
  click(C::comOptions);
  ASSERT_EQ(dialogs.optionsShown.size(), 1u);
  EXPECT_EQ(dialogs.owners.back().handle, window.hwnd());
  const struct {
    fs::path folder;
    BoxIcon icon;
  } runs[] = {{out, BoxIcon::Information}, {dir / "missing", BoxIcon::Stop}};
  for (const auto& run : runs) {
    dialogs.files.push_back({input.u16string()});
    click(C::Command2);
    dialogs.folders.push_back(run.folder.u16string());
    std::vector<bool> lockedInRun;
    dialogs.onFolder = [&] {
      for (const C c : window::lockList()) lockedInRun.push_back(::IsWindowEnabled(at(c)) == FALSE);
      drop({dir / "other.txt"});
    };
    click(C::comConvert);
    EXPECT_EQ(lockedInRun, std::vector<bool>(window::lockList().size(), true));
    EXPECT_EQ(text(C::txtFileName), input.u16string());
    ASSERT_FALSE(dialogs.boxes.empty());
    EXPECT_EQ(dialogs.boxes.back().icon, run.icon);
    for (const C c : window::lockList()) EXPECT_TRUE(::IsWindowEnabled(at(c)));
    if (run.icon == BoxIcon::Information) {
      EXPECT_EQ(window.value(C::ProgressBar1), window::kBarSteps);
    }
  }
  fs::create_directories(dir / "cli");
  const Outcome cli =
      testing::run(dir.path(), {"-q", "-o", utf8Of(dir / "cli"), "--date", kFixedDate, utf8Of(input)});
  ASSERT_EQ(cli.code, 0) << cli.err;
  EXPECT_EQ(recordsIn(out), recordsIn(dir / "cli"));
}

// The system's options dialog, in the window's font, shows the choices in its controls: Enter
// takes what the user left (here the third Aozora choice and the first check box clicked), Esc keeps them.
TEST_F(Win32WindowTest, TheOptionsDialogShowsTheChoicesAndTakesWhatTheUserLeft) {
  using window::ReadingChoices;
  const ReadingChoices some{AozoraMode::Strip, false, true, true};
  const struct {
    ReadingChoices start;
    bool click;
    WPARAM key;
    ReadingChoices after;
  } rows[] = {{some, false, VK_RETURN, some},
              {{}, true, VK_RETURN, {AozoraMode::Bracket, true, false, false}},
              {some, true, VK_ESCAPE, some}};
  static std::function<void()> act;
  for (const auto& row : rows) {
    std::wstring font;
    act = [&] {
      const std::u16string title(window::texts::kOptionsTitle);
      const HWND d = ::FindWindowW(L"#32770", reinterpret_cast<const wchar_t*>(title.c_str()));
      if (!d || !font.empty()) return;
      LOGFONTW face{};
      ::GetObjectW(reinterpret_cast<HFONT>(::SendDlgItemMessageW(d, IDOK, WM_GETFONT, 0, 0)), sizeof face,
                   &face);
      font = face.lfFaceName;
      for (const int id : {win32::kFirstAozoraId + 2, win32::kFirstCheckId}) {
        if (row.click) ::SendDlgItemMessageW(d, id, BM_CLICK, 0, 0);
      }
      ::SetFocus(::GetDlgItem(d, win32::kFirstCheckId));
      ::PostMessageW(::GetFocus(), WM_KEYDOWN, row.key, 0);
    };
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) { act(); });
    ReadingChoices choices = row.start;
    EXPECT_EQ(win32::SystemDialogs().options({window.hwnd()}, choices), row.key == VK_RETURN);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(choices, row.after);
    EXPECT_EQ(font, win32::windowFontFace());
  }
}

TEST_F(Win32WindowTest, ClosingDuringARunWaitsForItsEnd) {
  const fs::path input = dir / "novel.txt";
  writeFile(input, "abc\r\n");
  dialogs.files.push_back({input.u16string()});
  click(C::Command2);
  dialogs.folders.push_back(dir.path().u16string());
  bool openInRun = false;
  dialogs.onFolder = [&] {
    ::SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
    openInRun = ::IsWindow(window.hwnd());
  };
  const HWND hwnd = window.hwnd();
  click(C::comConvert);
  EXPECT_TRUE(openInRun);
  EXPECT_TRUE(::IsWindow(hwnd));
  window.processEvents();
  EXPECT_FALSE(::IsWindow(hwnd));
}

// ---- orvella.exe --help, --version, an option it does not have

// Output redirected as from a console: answered there, without a window (which would never end).
TEST(Win32Start, HelpAndVersionAreAnsweredAndOtherOptionsRefusedWithoutAWindow) {
  if (::GetACP() != 932)
    GTEST_SKIP() << "needs code page 932 (scripts/windows-tests.sh runs Wine in Japanese)";
  TempDir scratch;
  const fs::path exe = program().parent_path() / "orvella.exe";
  const std::string usage = window::usageText(false);
  const struct {
    std::vector<std::string> arguments;
    int code;
    std::string out, err;
  } rows[] = {
      {{"--help"}, 0, usage, ""},
      {{"-h", "novel.txt"}, 0, usage, ""},
      {{"--version", "--", "-x"}, 0, window::versionText(), ""},
      {{"novel.txt", "--bogus"}, 2, "", window::refusalText("--bogus", false)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.arguments.front());
    const Outcome o = run(scratch.path(), row.arguments, exe);
    EXPECT_EQ(o.code, row.code);
    EXPECT_EQ(o.out, row.out);
    EXPECT_EQ(o.err, row.err);
  }
}

}  // namespace
}  // namespace orvella::testing
