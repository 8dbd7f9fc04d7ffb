#include "convert/write_text.hpp"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "convert/texts.hpp"

namespace orvella {

namespace {

// A target that exists but may not be written is a failure, as it would be on the handset's
// home platform; rename() alone would quietly replace it.
// One system call per record: access() answers for ordinary users, but root passes it whatever
// the mode, so root looks at the write bits itself. A directory in the way fails at rename().
bool targetRefusesWrites(const std::filesystem::path& target) {
  static const bool root = ::geteuid() == 0;
  if (!root) return ::access(target.c_str(), W_OK) != 0 && errno != ENOENT;
  struct stat st {};
  if (::stat(target.c_str(), &st) != 0) return false;
  return S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool writeAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

// Opens a fresh temporary file beside the target; -1 on failure.
int openTemporary(const std::filesystem::path& target, std::filesystem::path& temp) {
  static std::atomic<unsigned> counter{0};
  static const std::string pid = std::to_string(::getpid());
  const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
  std::string prefix(1, '.');
  prefix += target.filename().native();
  prefix += ".tmp";
  prefix += pid;
  prefix += '-';
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = folder / prefix;
    temp += std::to_string(counter++);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

bool WriteText(const std::filesystem::path& FName, std::string_view bytes, const WriteErrorReport& report) {
  const auto fail = [&](int fd, const std::filesystem::path& temp) {
    if (fd >= 0) ::close(fd);
    if (!temp.empty()) ::unlink(temp.c_str());
    if (report) report(texts::kWriteError);
    return false;
  };

  // The system reads a name only up to a NUL: "E1__\0.VMG" would quietly replace "E1__".
  const bool nameCutShort = FName.native().find('\0') != std::string::npos;
  if (FName.filename().empty() || nameCutShort) return fail(-1, {});

  std::filesystem::path temp;
  const int fd = openTemporary(FName, temp);
  if (fd < 0) return fail(-1, {});
  if (!writeAll(fd, bytes)) return fail(fd, temp);
  if (::close(fd) != 0) return fail(-1, temp);
  // Most targets do not exist yet: a rename that refuses to replace one needs no check first.
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, FName.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EEXIST && errno != EINVAL && errno != ENOSYS) return fail(-1, temp);
  if (targetRefusesWrites(FName)) return fail(-1, temp);
  if (::rename(temp.c_str(), FName.c_str()) != 0) return fail(-1, temp);
  return true;
}

}  // namespace orvella
