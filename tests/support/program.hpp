// Runs orvella-convert as a child process, optionally with its files capped (as on a full disk),
// and collects its exit code and output.
#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_dir.hpp"

extern char** environ;

namespace orvella::testing {

struct Outcome {
  int code = -1;
  long peakKiB = 0;  // the child's peak resident memory
  std::string out;
  std::string err;
};

inline std::filesystem::path program() {
  const char* dir = std::getenv("ORVELLA_BIN_DIR");
  return std::filesystem::path(dir ? dir : "bin") / "orvella-convert";
}

// A started child; wait for it with finish().
struct Child {
  pid_t pid = -1;
  std::filesystem::path outPath;
  std::filesystem::path errPath;
};

// maxFileBytes caps each file the child writes (a full disk); maxMemoryBytes its address space.
inline Child start(const std::filesystem::path& scratch, const std::vector<std::string>& args,
                   rlim_t maxFileBytes = 0, rlim_t maxMemoryBytes = 0) {
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
  const rlimit limit{maxFileBytes, maxFileBytes};
  const rlimit memory{maxMemoryBytes, maxMemoryBytes};
  std::fflush(nullptr);
  c.pid = ::fork();
  if (c.pid == 0) {
    ::dup2(nullFd, 0);
    ::dup2(outFd, 1);
    ::dup2(errFd, 2);
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
  o.out = readFile(c.outPath);
  o.err = readFile(c.errPath);
  std::filesystem::remove(c.outPath);
  std::filesystem::remove(c.errPath);
  return o;
}

inline Outcome run(const std::filesystem::path& scratch, const std::vector<std::string>& args,
                   rlim_t maxFileBytes = 0) {
  return finish(start(scratch, args, maxFileBytes));
}

inline std::vector<std::string> filesIn(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

inline bool contains(const std::string& hay, std::string_view needle) {
  return hay.find(needle) != std::string::npos;
}

}  // namespace orvella::testing
