// Drives a running orvella.exe from outside as a user would: finds the window by its title,
// reads and sets its controls by name, presses buttons, answers the Open and folder dialogs and
// the message boxes. Each step is an argument; what it reads goes to stdout as UTF-8 lines.
//   orvella-probe find tick "set txtTo 宛先@example.jp" "click Command2" "answer C:\\a.txt" box close
// Exit 1, naming the step, when something does not appear in time. "clock" prints the time.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/utf.hpp"
#include "win32/main_window.hpp"
#include "window/control_table.hpp"
#include "window/window_texts.hpp"

namespace {

using namespace std::chrono_literals;
constexpr std::chrono::seconds kPatience = 30s;
// A message box may close a long conversion.
constexpr std::chrono::seconds kRunPatience = 600s;

HWND mainWindow = nullptr;

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "orvella-probe: %s\n", what.c_str());
  std::exit(1);
}

std::string utf8(const std::wstring& text) {
  return orvella::utf16ToUtf8(std::u16string(text.begin(), text.end()));
}
std::wstring wide(const std::string& text) {
  const std::u16string u = orvella::utf8ToUtf16(text).value_or(u"");
  return std::wstring(u.begin(), u.end());
}

void say(const std::string& line) {
  const std::string out = line + "\n";
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written,
              nullptr);
}

std::wstring textOf(HWND h) {
  std::wstring text(static_cast<std::size_t>(::SendMessageW(h, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      ::SendMessageW(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

std::wstring classOf(HWND h) {
  wchar_t name[64] = {};
  ::GetClassNameW(h, name, 64);
  return name;
}

template <class Found>
auto waitFor(const std::string& what, Found found, std::chrono::seconds patience = kPatience) {
  const auto until = std::chrono::steady_clock::now() + patience;
  while (std::chrono::steady_clock::now() < until) {
    if (auto result = found()) return result;
    // Each look is a round of calls to Wine's server, which the window needs too: a long wait
    // looks less often.
    std::this_thread::sleep_for(patience > kPatience ? 250ms : 50ms);
  }
  fail("no " + what + " within " + std::to_string(patience.count()) + " s");
}

HWND controlNamed(const std::string& name) {
  for (const orvella::window::ControlRow& row : orvella::window::controlTable()) {
    if (row.name == name) return ::GetDlgItem(mainWindow, orvella::win32::controlId(row.id));
  }
  fail("no control named " + name);
}

// The window's dialog or message box now open: a visible #32770 it owns.
std::vector<HWND> ownedDialogs() {
  std::vector<HWND> found;
  ::EnumWindows(
      [](HWND h, LPARAM list) -> BOOL {
        if (::IsWindowVisible(h) && classOf(h) == L"#32770" && ::GetWindow(h, GW_OWNER) == mainWindow) {
          reinterpret_cast<std::vector<HWND>*>(list)->push_back(h);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

std::vector<HWND> descendants(HWND parent, const wchar_t* className) {
  struct Search {
    const wchar_t* className;
    std::vector<HWND> found;
  } search{className, {}};
  ::EnumChildWindows(
      parent,
      [](HWND h, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        if (::IsWindowVisible(h) && classOf(h) == s->className) s->found.push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The Open dialog or folder picker: the one with a file-name box.
std::optional<std::pair<HWND, HWND>> fileDialog() {
  for (HWND dialog : ownedDialogs()) {
    const std::vector<HWND> edits = descendants(dialog, L"Edit");
    if (!edits.empty()) return std::make_pair(dialog, edits.front());
  }
  return std::nullopt;
}

std::optional<HWND> messageBox() {
  for (HWND dialog : ownedDialogs()) {
    if (descendants(dialog, L"Edit").empty()) return dialog;
  }
  return std::nullopt;
}

void step(const std::string& command, const std::string& argument, const std::string& value) {
  if (command == "find") {
    const std::wstring title(orvella::window::texts::kTitle.begin(), orvella::window::texts::kTitle.end());
    mainWindow = waitFor("window titled " + utf8(title), [&]() -> HWND {
      return ::FindWindowW(orvella::win32::kWindowClass, title.c_str());
    });
    say("found " + utf8(textOf(mainWindow)));
  } else if (command == "tick") {
    // Waits for the clock's next second, so what follows runs within one Date.
    const HWND date = controlNamed("txtDate");
    const std::wstring before = textOf(date);
    waitFor("tick of txtDate", [&] { return textOf(date) != before; });
    say("txtDate " + utf8(textOf(date)));
  } else if (command == "get") {
    say(argument + " " + utf8(textOf(controlNamed(argument))));
  } else if (command == "set") {
    ::SendMessageW(controlNamed(argument), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide(value).c_str()));
  } else if (command == "click") {
    // Posted: the click may open a modal dialog, which the next step answers.
    ::PostMessageW(controlNamed(argument), BM_CLICK, 0, 0);
  } else if (command == "answer") {
    const auto [dialog, edit] = *waitFor("Open or folder dialog", fileDialog);
    say("dialog " + utf8(textOf(dialog)));
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide(argument).c_str()));
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
    waitFor("dialog to close", [dialog] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); });
  } else if (command == "box") {
    const HWND box = *waitFor("message box", messageBox, kRunPatience);
    std::wstring text;
    for (HWND label : descendants(box, L"Static")) {
      if (textOf(label).size() > text.size()) text = textOf(label);
    }
    say("box " + utf8(text));
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
    waitFor("message box to close", [box] { return !::IsWindow(box); });
  } else if (command == "clock") {
    // Milliseconds since the probe started, for timing what lies between two of them.
    static const auto started = std::chrono::steady_clock::now();
    say("clock " + std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(
                                      std::chrono::steady_clock::now() - started)
                                      .count()));
  } else if (command == "close") {
    ::PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    waitFor("window to close", [] { return !::IsWindow(mainWindow); });
    say("closed");
  } else {
    fail("unknown step " + command);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  for (int i = 1; i < argc; ++i) {
    // "command argument value": the value is the rest, spaces and all.
    const std::string line = utf8(argv[i]);
    const auto first = line.find(' ');
    const std::string command = line.substr(0, first);
    const std::string rest = first == std::string::npos ? "" : line.substr(first + 1);
    const auto second = rest.find(' ');
    const std::string argument = command == "set" ? rest.substr(0, second) : rest;
    const std::string value = command == "set" && second != std::string::npos ? rest.substr(second + 1) : "";
    if (command != "find" && !mainWindow) step("find", "", "");
    step(command, argument, value);
  }
  return 0;
}
