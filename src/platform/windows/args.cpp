#include "platform/args.hpp"

#include <windows.h>

#include <shellapi.h>

#include <cwchar>

namespace orvella::platform {

namespace {

// UTF-8 of one argument; false when it holds an unpaired surrogate (then `out` has U+FFFD there).
bool toUtf8(const wchar_t* text, std::string& out) {
  const int length = static_cast<int>(std::wcslen(text));
  out.clear();
  if (length == 0) return true;
  bool ok = true;
  int size = ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, length, nullptr, 0, nullptr, nullptr);
  DWORD flags = WC_ERR_INVALID_CHARS;
  if (size == 0) {
    ok = false;
    flags = 0;
    size = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  }
  out.resize(static_cast<std::size_t>(size));
  ::WideCharToMultiByte(CP_UTF8, flags, text, length, out.data(), size, nullptr, nullptr);
  return ok;
}

}  // namespace

CommandLine commandLine(int argc, char** argv) {
  CommandLine line;
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!wide) {
    // Without the wide line, the code-page copy is all there is.
    for (int i = 0; i < argc; ++i) line.args.emplace_back(argv[i]);
    return line;
  }
  for (int i = 0; i < count; ++i) {
    std::string arg;
    if (!toUtf8(wide[i], arg) && !line.unreadable) line.unreadable = line.args.size();
    line.args.push_back(std::move(arg));
  }
  ::LocalFree(wide);
  return line;
}

}  // namespace orvella::platform
