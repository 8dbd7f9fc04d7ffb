#include "platform/console.hpp"

#include <windows.h>

#include <string>

namespace orvella::platform {

namespace {

std::wstring widen(std::string_view utf8) {
  const int length = static_cast<int>(utf8.size());
  const int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), size);
  return wide;
}

// A file or pipe gets what the system's own tools write there: the console's output code page,
// or the ANSI one without a console. A character the page lacks becomes "?", never a look-alike
// ("e" for "é") that would misname a file.
std::string inStreamCodePage(std::string_view utf8) {
  UINT page = ::GetConsoleOutputCP();
  if (page == 0) page = ::GetACP();
  if (page == CP_UTF8) return std::string(utf8);
  const std::wstring wide = widen(utf8);
  const int length = static_cast<int>(wide.size());
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  const char* substitute = "?";
  int size = ::WideCharToMultiByte(page, flags, wide.data(), length, nullptr, 0, substitute, nullptr);
  if (size == 0) {
    // Pages such as the ISO-2022 ones take neither the flag nor a substitute.
    flags = 0;
    substitute = nullptr;
    size = ::WideCharToMultiByte(page, flags, wide.data(), length, nullptr, 0, nullptr, nullptr);
  }
  if (size == 0) return std::string(utf8);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(page, flags, wide.data(), length, bytes.data(), size, substitute, nullptr);
  return bytes;
}

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
    const std::wstring wide = widen(utf8);
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
  const std::string bytes = inStreamCodePage(utf8);
  const char* p = bytes.data();
  DWORD left = static_cast<DWORD>(bytes.size());
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

bool attachParentConsole() {
  const auto leadsSomewhere = [](DWORD which) {
    const HANDLE h = ::GetStdHandle(which);
    return h != nullptr && h != INVALID_HANDLE_VALUE;
  };
  const auto both = [&] { return leadsSomewhere(STD_OUTPUT_HANDLE) && leadsSomewhere(STD_ERROR_HANDLE); };
  if (both()) return true;
  if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return false;
  for (const DWORD which : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    if (leadsSomewhere(which)) continue;
    const HANDLE console =
        ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, 0, nullptr);
    if (console != INVALID_HANDLE_VALUE) ::SetStdHandle(which, console);
  }
  return both();
}

void tellUser(std::string_view title, std::string_view utf8, bool refusal) {
  if (attachParentConsole()) {
    refusal ? writeError(utf8) : writeOutput(utf8);
    return;
  }
  ::MessageBoxW(nullptr, widen(utf8).c_str(), widen(title).c_str(),
                refusal ? MB_ICONERROR : MB_ICONINFORMATION);
}

}  // namespace orvella::platform
