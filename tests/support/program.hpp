// Runs orvella-convert (on Windows any program named) as a child process, optionally with its files capped
// (as on a full disk), and collects its exit code and output; on POSIX, feeds it through a named pipe.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include <psapi.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "support/temp_dir.hpp"

#ifndef _WIN32
extern char** environ;
#endif

namespace orvella::testing {

struct Outcome {
  int code = -1;
  long peakKiB = 0;  // the child's peak resident memory
  std::string out;   // UTF-8
  std::string err;
  // The bytes as written: on Windows in the code page of a redirected stream
  // (platform/console.hpp), so `out` is decoded from them.
  std::string outBytes;
  std::string errBytes;
};

inline std::filesystem::path program() {
  const char* dir = std::getenv("ORVELLA_BIN_DIR");
#ifdef _WIN32
  return std::filesystem::path(dir ? dir : "bin") / "orvella-convert.exe";
#else
  return std::filesystem::path(dir ? dir : "bin") / "orvella-convert";
#endif
}

#ifdef _WIN32

// Windows has no fork: the child is started with CreateProcessW, its arguments in UTF-16 (so a
// test may hand it what UTF-8 cannot hold) and its output in files as on POSIX.
struct Child {
  HANDLE process = nullptr;
  std::filesystem::path outPath;
  std::filesystem::path errPath;
};

inline std::wstring widen(std::string_view bytes, UINT page = CP_UTF8) {
  const int size = ::MultiByteToWideChar(page, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(page, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), size);
  return wide;
}

// One argument quoted the way the C runtime and CommandLineToArgvW split it again.
inline void appendQuoted(std::wstring& line, const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += arg;
    return;
  }
  line += L'"';
  std::size_t slashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++slashes;
      continue;
    }
    line.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
    slashes = 0;
    line += c;
  }
  line.append(slashes * 2, L'\\');
  line += L'"';
}

inline Child startWide(const std::filesystem::path& scratch, const std::vector<std::wstring>& args,
                       const std::filesystem::path& exe = program()) {
  std::wstring line;
  appendQuoted(line, exe.wstring());
  for (const auto& a : args) {
    line += L' ';
    appendQuoted(line, a);
  }
  Child c;
  c.outPath = scratch / "stdout.txt";
  c.errPath = scratch / "stderr.txt";
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  auto create = [&](const std::filesystem::path& p) {
    return ::CreateFileW(p.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, &inherit,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  const HANDLE out = create(c.outPath);
  const HANDLE err = create(c.errPath);
  const HANDLE in = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                  OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = in;
  si.hStdOutput = out;
  si.hStdError = err;
  PROCESS_INFORMATION pi{};
  if (::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    ::CloseHandle(pi.hThread);
    c.process = pi.hProcess;
  }
  ::CloseHandle(out);
  ::CloseHandle(err);
  ::CloseHandle(in);
  return c;
}

inline Child start(const std::filesystem::path& scratch, const std::vector<std::string>& args,
                   const std::filesystem::path& exe = program()) {
  std::vector<std::wstring> wide;
  for (const auto& a : args) wide.push_back(widen(a));
  return startWide(scratch, wide, exe);
}

// A redirected stream's bytes as UTF-8: the child wrote them in the console's output code page,
// or the ANSI one without a console.
inline std::string streamToUtf8(const std::string& bytes) {
  const std::wstring wide = widen(bytes, ::GetConsoleOutputCP() ? ::GetConsoleOutputCP() : ::GetACP());
  std::string utf8(wide.size() * 3, '\0');
  utf8.resize(static_cast<std::size_t>(
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(),
                            static_cast<int>(utf8.size()), nullptr, nullptr)));
  return utf8;
}

inline Outcome finish(const Child& c) {
  Outcome o;
  if (c.process) {
    ::WaitForSingleObject(c.process, INFINITE);
    DWORD code = 0;
    if (::GetExitCodeProcess(c.process, &code)) o.code = static_cast<int>(code);
    PROCESS_MEMORY_COUNTERS memory{};
    if (::K32GetProcessMemoryInfo(c.process, &memory, sizeof memory)) {
      o.peakKiB = static_cast<long>(memory.PeakWorkingSetSize / 1024);
    }
    ::CloseHandle(c.process);
  }
  o.outBytes = readFile(c.outPath);
  o.errBytes = readFile(c.errPath);
  o.out = streamToUtf8(o.outBytes);
  o.err = streamToUtf8(o.errBytes);
  std::filesystem::remove(c.outPath);
  std::filesystem::remove(c.errPath);
  return o;
}

inline Outcome run(const std::filesystem::path& scratch, const std::vector<std::string>& args,
                   const std::filesystem::path& exe = program()) {
  return finish(start(scratch, args, exe));
}

inline Outcome runWide(const std::filesystem::path& scratch, const std::vector<std::wstring>& args) {
  return finish(startWide(scratch, args));
}

#else

// A started child; wait for it with finish().
struct Child {
  pid_t pid = -1;
  std::filesystem::path outPath;
  std::filesystem::path errPath;
};

// maxFileBytes caps each file the child writes (a full disk); maxMemoryBytes its address space.
// With closedPipes, its output and error streams are pipes nobody reads: every write raises
// SIGPIPE.
inline Child start(const std::filesystem::path& scratch, const std::vector<std::string>& args,
                   rlim_t maxFileBytes = 0, rlim_t maxMemoryBytes = 0, bool closedPipes = false) {
  const std::string exe = program().string();
  std::vector<char*> argv{const_cast<char*>(exe.c_str())};
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  Child c;
  c.outPath = scratch / "stdout.txt";
  c.errPath = scratch / "stderr.txt";
  // Everything the child needs is made before fork: after it, only async-signal-safe calls.
  const int outFd = ::open(c.outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int errFd = ::open(c.errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int nullFd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  int pipeFds[2] = {-1, -1};
  if (closedPipes && ::pipe2(pipeFds, O_CLOEXEC) == 0) ::close(pipeFds[0]);
  const rlimit limit{maxFileBytes, maxFileBytes};
  const rlimit memory{maxMemoryBytes, maxMemoryBytes};
  std::fflush(nullptr);
  c.pid = ::fork();
  if (c.pid == 0) {
    ::dup2(nullFd, 0);
    ::dup2(closedPipes ? pipeFds[1] : outFd, 1);
    ::dup2(closedPipes ? pipeFds[1] : errFd, 2);
    // SIGXFSZ keeps its default, fatal action: the program must make the limit an ordinary
    // failed write by itself.
    ::signal(SIGXFSZ, SIG_DFL);
    if (maxFileBytes != 0 && ::setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(126);
    if (maxMemoryBytes != 0 && ::setrlimit(RLIMIT_AS, &memory) != 0) _exit(126);
    ::execve(exe.c_str(), argv.data(), environ);
    _exit(127);
  }
  ::close(outFd);
  ::close(errFd);
  ::close(nullFd);
  if (pipeFds[1] >= 0) ::close(pipeFds[1]);
  return c;
}

inline Outcome finish(const Child& c) {
  Outcome o;
  int status = 0;
  rusage usage{};
  if (c.pid > 0 && ::wait4(c.pid, &status, 0, &usage) == c.pid) {
    o.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    o.peakKiB = usage.ru_maxrss;
  }
  o.out = o.outBytes = readFile(c.outPath);
  o.err = o.errBytes = readFile(c.errPath);
  std::filesystem::remove(c.outPath);
  std::filesystem::remove(c.errPath);
  return o;
}

inline Outcome run(const std::filesystem::path& scratch, const std::vector<std::string>& args,
                   rlim_t maxFileBytes = 0) {
  return finish(start(scratch, args, maxFileBytes));
}

// True once ready() is, false when it is not within a while: a child that never gets there
// cannot hang the tests.
inline bool waitFor(const std::function<bool()>& ready) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!ready()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// The writing end of a named pipe the child reads, once the child has opened it; -1 if it never does.
inline int pipeWriter(const std::filesystem::path& fifo) {
  int w = -1;
  (void)waitFor([&] {
    w = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    return w >= 0;
  });
  if (w >= 0) ::fcntl(w, F_SETFL, ::fcntl(w, F_GETFL) & ~O_NONBLOCK);
  return w;
}

inline bool send(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

#endif

inline std::vector<std::string> filesIn(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    const std::u8string name = e.path().filename().u8string();
    names.emplace_back(name.begin(), name.end());
  }
  std::sort(names.begin(), names.end());
  return names;
}

inline bool contains(const std::string& hay, std::string_view needle) {
  return hay.find(needle) != std::string::npos;
}

}  // namespace orvella::testing
