// Starts Orvella on Windows: the one window with the system's own dialogs.
#include <windows.h>
// The other system headers build on windows.h.
#include <objbase.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "core/utf.hpp"
#include "platform/console.hpp"
#include "platform/signals.hpp"
#include "win32/main_window.hpp"
#include "win32/system_dialogs.hpp"
#include "window/command_line.hpp"
#include "window/window_texts.hpp"

namespace {

// The command line as typed, in UTF-16 whatever the code page.
std::vector<std::wstring> arguments() {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::wstring> args;
  if (!wide) return args;
  args.assign(wide, wide + count);
  ::LocalFree(wide);
  return args;
}

// On the console of the program that started this one, or in a message box when there is none
// (double-clicked, or dragged on from Explorer).
void tell(const std::string& text, bool refusal) {
  if (orvella::platform::attachParentConsole()) {
    refusal ? orvella::platform::writeError(text) : orvella::platform::writeOutput(text);
    return;
  }
  const std::u16string shown = orvella::utf8ToUtf16(text).value_or(u"");
  const std::u16string title(orvella::window::texts::kTitle);
  ::MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(shown.c_str()),
                reinterpret_cast<const wchar_t*>(title.c_str()), refusal ? MB_ICONERROR : MB_ICONINFORMATION);
}

// --help, --version and an option it does not have are answered without a window: the exit code.
std::optional<int> answered(const std::vector<std::wstring>& args) {
  namespace window = orvella::window;
  constexpr bool kToolkitOptions = false;
  std::vector<std::string> rest;
  for (std::size_t i = 1; i < args.size(); ++i) {
    rest.push_back(orvella::utf16ToUtf8(std::u16string(args[i].begin(), args[i].end())));
  }
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

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::vector<std::wstring> args = arguments();
  if (const std::optional<int> code = answered(args)) return *code;
  orvella::platform::installStopHandlers();
  // The Open dialog and the folder picker are COM objects of this thread.
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  int code = 0;
  {
    orvella::win32::SystemDialogs dialogs;
    orvella::win32::MainWindow window(dialogs);
    if (!window.hwnd()) return 1;
    window.form().setStopSource(&orvella::platform::stopRequested);
    window.takeArguments(args);
    code = window.run();
  }
  if (SUCCEEDED(com)) ::CoUninitialize();
  return code;
}
