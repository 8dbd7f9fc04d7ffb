#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "platform/files.hpp"
#include "platform/posix/folder_fd.hpp"
#include "platform/record_names.hpp"

namespace orvella::platform {

namespace {

std::atomic<bool> namedOnly{false};

int fdOf(std::intptr_t handle) { return static_cast<int>(handle); }

bool folderGone(int dir) {
  struct stat st {};
  return ::fstat(dir, &st) == 0 && st.st_nlink == 0;
}

// A target that exists but may not be written is a failure, as it would be on the handset's
// home platform; a rename alone would quietly replace it. Root passes access() whatever the mode,
// so it looks at the write bits itself.
std::optional<SystemError> refusesWrites(int dir, const char* target) {
  struct stat st {};
  if (::fstatat(dir, target, &st, 0) != 0) return std::nullopt;
  if (S_ISDIR(st.st_mode)) return fromCode(EISDIR);
  if (!S_ISREG(st.st_mode)) return std::nullopt;
  const bool writable = ::geteuid() == 0 ? (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0
                                         : ::faccessat(dir, target, W_OK, 0) == 0;
  if (writable) return std::nullopt;
  return SystemError{ErrorKind::ReadOnly, EACCES};
}

// Puts a hidden file over the target, unless the target refuses it.
std::optional<SystemError> moveOver(int dir, const char* from, const char* to) {
  if (::renameat2(dir, from, dir, to, RENAME_NOREPLACE) == 0) return std::nullopt;
  if (errno != EEXIST && errno != EINVAL && errno != ENOSYS) return lastError();
  if (auto refused = refusesWrites(dir, to)) return refused;
  if (::renameat(dir, from, dir, to) != 0) return lastError();
  return std::nullopt;
}

// Gives the unnamed file a name: straight from the descriptor where the process may (it saves
// a walk through /proc per record), otherwise through /proc.
bool linkUnnamed(int fd, int dir, const char* name) {
  static std::atomic<bool> direct{true};
  if (direct) {
    if (::linkat(fd, "", dir, name, AT_EMPTY_PATH) == 0) return true;
    if (errno != ENOENT && errno != EPERM && errno != EINVAL) return false;
    // ENOENT also means the folder is gone: only the /proc route can tell the two apart.
    if (errno != ENOENT) direct = false;
  }
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  if (::linkat(AT_FDCWD, self.c_str(), dir, name, AT_SYMLINK_FOLLOW) == 0) {
    direct = false;  // the direct route was refused for want of privilege
    return true;
  }
  return false;
}

}  // namespace

void preferNamedRecordFiles(bool named) { namedOnly = named; }

bool RecordFile::isOpen() const { return handle_ >= 0; }

void RecordFile::discard() {
  if (handle_ >= 0) ::close(fdOf(handle_));
  handle_ = -1;
  if (!named_.empty()) ::unlinkat(fdOf(folderHandle_), named_.c_str(), 0);
  named_.clear();
  if (folderHandle_ >= 0) ::close(fdOf(folderHandle_));
  folderHandle_ = -1;
  size_ = 0;
}

std::optional<SystemError> RecordFile::create(const std::filesystem::path& folder) {
  discard();
  const int dir = openFolder(folder);
  if (dir < 0) return lastError();
  return createIn(dir);
}

std::optional<SystemError> RecordFile::create(const FolderLock& folder) {
  discard();
  const int dir = ::fcntl(fdOf(folder.handle_), F_DUPFD_CLOEXEC, 0);
  if (dir < 0) return lastError();
  return createIn(dir);
}

// Every name from here on is relative to the folder's descriptor, which this record now owns.
std::optional<SystemError> RecordFile::createIn(std::intptr_t folderHandle) {
  folderHandle_ = folderHandle;
  const int dir = fdOf(folderHandle_);
  if (!namedOnly) {
    const int fd = ::openat(dir, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd >= 0) {
      handle_ = fd;
      return std::nullopt;
    }
    // Only a filesystem without unnamed files falls back; any other failure is the answer.
    // A folder deleted under its holder refuses unnamed files as if for want of permission.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
      return folderGone(dir) ? fromCode(ENOENT) : lastError();
    }
  }
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::filesystem::path name = hiddenRecordName({});
    const int fd = ::openat(dir, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) {
      handle_ = fd;
      named_ = name;
      return std::nullopt;
    }
    if (errno != EEXIST) return lastError();
  }
  return fromCode(EEXIST);
}

std::optional<SystemError> RecordFile::write(std::string_view bytes) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fdOf(handle_), p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return lastError();
    }
    p += n;
    left -= static_cast<std::size_t>(n);
    size_ += static_cast<std::uint64_t>(n);
  }
  return std::nullopt;
}

std::optional<SystemError> RecordFile::readAt(std::uint64_t offset, char* into, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::pread(fdOf(handle_), into, size, static_cast<off_t>(offset));
    if (n < 0) {
      if (errno == EINTR) continue;
      return lastError();
    }
    if (n == 0) return fromCode(EIO);
    into += n;
    size -= static_cast<std::size_t>(n);
    offset += static_cast<std::uint64_t>(n);
  }
  return std::nullopt;
}

std::optional<SystemError> RecordFile::commit(const std::filesystem::path& target) {
  if (handle_ < 0) return fromCode(EBADF);
  // The system reads a name only up to a NUL: "E1__\0.VMG" would quietly become "E1__".
  if (target.native().find('\0') != std::string::npos || target.filename().empty()) {
    return fromCode(EINVAL);
  }
  const int dir = fdOf(folderHandle_);
  const std::string name = target.filename().native();
  std::optional<SystemError> failed;
  if (!named_.empty()) {
    failed = moveOver(dir, named_.c_str(), name.c_str());
    if (!failed) named_.clear();
  } else {
    // Most targets do not exist yet: the link itself refuses to replace one.
    if (linkUnnamed(fdOf(handle_), dir, name.c_str())) {
      discard();
      return std::nullopt;
    }
    if (errno != EEXIST) {
      failed = lastError();
    } else if (!(failed = refusesWrites(dir, name.c_str()))) {
      // Replacing an older record: a hidden name first, then one atomic rename over it.
      std::filesystem::path hidden;
      bool linked = false;
      for (int attempt = 0; attempt < 16 && !linked; ++attempt) {
        hidden = hiddenRecordName({});
        linked = linkUnnamed(fdOf(handle_), dir, hidden.c_str());
        if (!linked && errno != EEXIST) break;
      }
      if (!linked) {
        failed = lastError();
      } else {
        failed = moveOver(dir, hidden.c_str(), name.c_str());
        if (failed) ::unlinkat(dir, hidden.c_str(), 0);
      }
    }
  }
  discard();
  return failed;
}

}  // namespace orvella::platform
