// Starts Orvella on Windows: the one window with the system's own dialogs.
#include <windows.h>
// The other system headers build on windows.h.
#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/signals.hpp"
#include "win32/main_window.hpp"
#include "win32/system_dialogs.hpp"

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

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  orvella::platform::installStopHandlers();
  // The Open dialog and the folder picker are COM objects of this thread.
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  int code = 0;
  {
    orvella::win32::SystemDialogs dialogs;
    orvella::win32::MainWindow window(dialogs);
    if (!window.hwnd()) return 1;
    window.form().setStopSource(&orvella::platform::stopRequested);
    window.takeArguments(arguments());
    code = window.run();
  }
  if (SUCCEEDED(com)) ::CoUninitialize();
  return code;
}
