// Shared by the fuzz targets: a failed property aborts with its reason, and inputs reach the
// reader as real files (a memfd, so nothing touches the disk).
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "support/reference_lines.hpp"

#define FUZZ_CHECK(cond)                                                               \
  do {                                                                                 \
    if (!(cond)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                    \
    }                                                                                  \
  } while (0)

namespace orvella::fuzz {

// One in-memory file per process, refilled for each input; path() opens it afresh at offset 0.
class MemFile {
 public:
  MemFile() : fd_(::memfd_create("orvella-fuzz-input", MFD_CLOEXEC)) {
    if (fd_ < 0) {
      std::perror("memfd_create");
      std::abort();
    }
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  ~MemFile() { ::close(fd_); }
  MemFile(const MemFile&) = delete;
  MemFile& operator=(const MemFile&) = delete;

  void fill(std::string_view bytes) {
    FUZZ_CHECK(::ftruncate(fd_, 0) == 0);
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
      FUZZ_CHECK(n > 0);
      done += static_cast<std::size_t>(n);
    }
  }
  const std::string& path() const { return path_; }

 private:
  int fd_;
  std::string path_;
};

using orvella::testing::referenceLines;

}  // namespace orvella::fuzz
