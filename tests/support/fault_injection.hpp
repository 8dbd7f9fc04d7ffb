// Faults made on purpose for tests: a full disk, a path the system refuses, leftovers to look for.
// They work when the tests run as root, where permission bits stop nothing.
#pragma once

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace orvella::testing {

// Names in the folder tree that look like the writer's temporaries (".NAME.tmpPID-N").
inline std::vector<std::string> temporariesUnder(const std::filesystem::path& root) {
  std::vector<std::string> found;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() > 1 && name[0] == '.' && name.find(".tmp") != std::string::npos) {
      found.push_back(it->path().string());
    }
  }
  return found;
}

#ifndef _WIN32
// POSIX only: Windows has neither fork() nor file size limits, and its paths have no such depth.

// Runs body in a forked child whose files may not grow past maxFileBytes, the way a full disk
// stops a write (EFBIG instead of ENOSPC, SIGXFSZ ignored so the write fails rather than kills).
// The child's test failures come back through its exit status.
template <class Body>
void inChildWithFileLimit(rlim_t maxFileBytes, Body body) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  ASSERT_NE(pid, -1);
  if (pid == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{maxFileBytes, maxFileBytes};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(3);
    body();
    std::fflush(nullptr);
    _exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "the child with a file size limit failed (see above) or died: status " << status;
}

// A folder nested deeper than PATH_MAX: it exists, but no path to a file in it is accepted.
// Made and removed level by level through directory descriptors, since no full path works.
class TooDeepFolder {
 public:
  explicit TooDeepFolder(const std::filesystem::path& parent) {
    const std::string level(200, 'd');
    path_ = parent;
    int fd = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    while (fd >= 0 && path_.native().size() <= PATH_MAX) {
      fds_.push_back(fd);
      if (::mkdirat(fd, level.c_str(), 0755) != 0) break;
      fd = ::openat(fd, level.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      path_ /= level;
    }
    if (fd >= 0 && (fds_.empty() || fds_.back() != fd)) fds_.push_back(fd);
  }
  ~TooDeepFolder() {
    // The deepest folder may hold files if a write got through; empty it, then climb out.
    const std::string level(200, 'd');
    for (std::size_t i = fds_.size(); i-- > 0;) {
      if (i + 1 == fds_.size()) clear(fds_[i]);
      if (i + 1 < fds_.size()) ::unlinkat(fds_[i], level.c_str(), AT_REMOVEDIR);
      ::close(fds_[i]);
    }
  }
  TooDeepFolder(const TooDeepFolder&) = delete;
  TooDeepFolder& operator=(const TooDeepFolder&) = delete;

  bool made() const { return path_.native().size() > PATH_MAX; }
  const std::filesystem::path& path() const { return path_; }

 private:
  static void clear(int dirFd) {
    const int fd = ::dup(dirFd);
    if (fd < 0) return;
    DIR* d = ::fdopendir(fd);
    if (!d) return;
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(d);
    for (const auto& n : names) ::unlinkat(dirFd, n.c_str(), 0);
  }

  std::filesystem::path path_;
  std::vector<int> fds_;
};

#endif  // _WIN32

}  // namespace orvella::testing
