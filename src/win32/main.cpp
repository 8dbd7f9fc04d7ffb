// Starts Orvella on Windows: the one window with the system's own dialogs.
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "core/utf.hpp"
#include "platform/args.hpp"
#include "platform/console.hpp"
#include "platform/signals.hpp"
#include "win32/main_window.hpp"
#include "win32/system_dialogs.hpp"
#include "window/command_line.hpp"
#include "window/window_texts.hpp"

namespace {

void tell(const std::string& text, bool refusal) {
  orvella::platform::tellUser(orvella::utf16ToUtf8(orvella::window::texts::kTitle), text, refusal);
}

// --help, --version and an option it does not have are answered without a window: the exit code.
std::optional<int> answered(const std::vector<std::string>& args) {
  namespace window = orvella::window;
  constexpr bool kToolkitOptions = false;
  std::vector<std::string> rest;  // what follows the program's name
  if (!args.empty()) rest.assign(std::next(args.begin()), args.end());
  switch (window::requestOf(rest)) {
    case window::Request::Help:
      tell(window::usageText(kToolkitOptions), false);
      return 0;
    case window::Request::Version:
      tell(window::versionText(), false);
      return 0;
    case window::Request::Window:
      break;
  }
  const std::string option = window::unknownOption(rest);
  if (option.empty()) return std::nullopt;
  tell(window::refusalText(option, kToolkitOptions), true);
  return 2;
}

// The files named, as the window takes them.
std::vector<std::wstring> wide(const std::vector<std::string>& args) {
  std::vector<std::wstring> out;
  for (const std::string& arg : args) {
    const std::u16string text = orvella::utf8ToUtf16(arg).value_or(u"");
    out.emplace_back(text.begin(), text.end());
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args = orvella::platform::commandLine(argc, argv).args;
  if (const std::optional<int> code = answered(args)) return *code;
  orvella::platform::installStopHandlers();
  orvella::win32::SystemDialogs dialogs;
  orvella::win32::MainWindow window(dialogs);
  if (!window.hwnd()) return 1;
  window.form().setStopSource(&orvella::platform::stopRequested);
  window.takeArguments(wide(args));
  return window.run();
}
