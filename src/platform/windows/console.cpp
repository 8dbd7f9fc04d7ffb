#include <windows.h>

#include <string>

#include "platform/console.hpp"

namespace orvella::platform {

namespace {

bool isConsole(HANDLE h) {
  DWORD mode = 0;
  return h != INVALID_HANDLE_VALUE && h != nullptr && ::GetConsoleMode(h, &mode) != 0;
}

void write(DWORD which, std::string_view utf8) {
  const HANDLE h = ::GetStdHandle(which);
  if (h == INVALID_HANDLE_VALUE || h == nullptr || utf8.empty()) return;
  if (isConsole(h)) {
    // The progress bar redraws with escape sequences; consoles that know none show them raw.
    static const bool escapes = [h] {
      DWORD mode = 0;
      return ::GetConsoleMode(h, &mode) && ::SetConsoleMode(h, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }();
    (void)escapes;
    const int length = static_cast<int>(utf8.size());
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), size);
    const wchar_t* p = wide.data();
    DWORD left = static_cast<DWORD>(wide.size());
    while (left > 0) {
      DWORD done = 0;
      if (!::WriteConsoleW(h, p, left, &done, nullptr) || done == 0) return;
      p += done;
      left -= done;
    }
    return;
  }
  const char* p = utf8.data();
  DWORD left = static_cast<DWORD>(utf8.size());
  while (left > 0) {
    DWORD done = 0;
    if (!::WriteFile(h, p, left, &done, nullptr) || done == 0) return;  // nowhere left to say it
    p += done;
    left -= done;
  }
}

}  // namespace

bool stderrIsTerminal() { return isConsole(::GetStdHandle(STD_ERROR_HANDLE)); }

void writeOutput(std::string_view utf8) { write(STD_OUTPUT_HANDLE, utf8); }
void writeError(std::string_view utf8) { write(STD_ERROR_HANDLE, utf8); }

}  // namespace orvella::platform
