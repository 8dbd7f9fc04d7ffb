// Runs any built program as a child with exactly the environment given, and a time limit after
// which it is killed, so a program that should have refused to start cannot hang the tests.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/program.hpp"

namespace orvella::testing {

inline std::filesystem::path builtProgram(const char* name) {
  const char* dir = std::getenv("ORVELLA_BIN_DIR");
  return std::filesystem::path(dir ? dir : "bin") / name;
}

// code is -1 when the child had to be killed.
inline Outcome runWithEnvironment(const std::filesystem::path& exe, const std::vector<std::string>& args,
                                  const std::vector<std::string>& environment,
                                  const std::filesystem::path& scratch,
                                  std::chrono::seconds limit = std::chrono::seconds(30)) {
  const std::string path = exe.string();
  std::vector<char*> argv{const_cast<char*>(path.c_str())};
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const auto& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);

  Child c;
  c.outPath = scratch / "stdout.txt";
  c.errPath = scratch / "stderr.txt";
  const int outFd = ::open(c.outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int errFd = ::open(c.errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int nullFd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  std::fflush(nullptr);
  c.pid = ::fork();
  if (c.pid == 0) {
    ::dup2(nullFd, 0);
    ::dup2(outFd, 1);
    ::dup2(errFd, 2);
    ::execve(path.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  ::close(outFd);
  ::close(errFd);
  ::close(nullFd);

  Outcome o;
  int status = 0;
  bool killed = false;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (::waitpid(c.pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(c.pid, SIGKILL);
      ::waitpid(c.pid, &status, 0);
      killed = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (!killed) o.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  o.out = readFile(c.outPath);
  o.err = readFile(c.errPath);
  std::filesystem::remove(c.outPath);
  std::filesystem::remove(c.errPath);
  return o;
}

}  // namespace orvella::testing
