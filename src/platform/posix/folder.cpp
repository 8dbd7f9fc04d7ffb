#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files.hpp"
#include "platform/posix/folder_fd.hpp"

namespace orvella::platform {

namespace {

std::optional<FileId> idFrom(int status, const struct stat& st) {
  if (status != 0) return std::nullopt;
  return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

// FUSE: syncfs() and a folder's fsync() stop in the kernel; only a file's fsync() reaches the
// program behind the filesystem.
bool servedByUserProgram(int folderFd) {
  struct statfs st {};
  return ::fstatfs(folderFd, &st) == 0 && st.f_type == FUSE_SUPER_MAGIC;
}

}  // namespace

FolderLock::~FolderLock() { release(); }

void FolderLock::release() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));  // closing drops the lock
  handle_ = -1;
}

FolderLock::State FolderLock::acquire(const std::filesystem::path& folder) {
  release();
  error_.reset();
  const int fd = openFolder(folder);
  if (fd < 0) {
    error_ = lastError();
    return State::Failed;
  }
  // An advisory lock on the folder itself: it dies with the process, so a crash leaves no lock.
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    const int code = errno;
    ::close(fd);
    if (code == EWOULDBLOCK) return State::Busy;
    error_ = fromCode(code);
    return State::Failed;
  }
  handle_ = fd;
  path_ = folder;
  flushEach_ = servedByUserProgram(fd);
  return State::Held;
}

std::optional<FileId> FolderLock::id() const {
  struct stat st {};
  return idFrom(::fstat(static_cast<int>(handle_), &st), st);
}

std::optional<FileId> FolderLock::idOf(const std::filesystem::path& name) const {
  struct stat st {};
  return idFrom(::fstatat(static_cast<int>(handle_), name.c_str(), &st, 0), st);
}

bool FolderLock::holdsFile(const std::filesystem::path& name) const {
  struct stat st {};
  return ::fstatat(static_cast<int>(handle_), name.c_str(), &st, 0) == 0 && S_ISREG(st.st_mode);
}

std::vector<std::filesystem::path> FolderLock::names() const {
  std::vector<std::filesystem::path> found;
  const int fd = ::openat(static_cast<int>(handle_), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
  if (!dir) {
    if (fd >= 0) ::close(fd);
    return found;
  }
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") found.emplace_back(name);
  }
  ::closedir(dir);
  return found;
}

int removeRecordTemporaries(const FolderLock& folder, const std::vector<FileId>& keep) {
  int removed = 0;
  for (const auto& name : folder.names()) {
    if (!isRecordTemporary(name.native()) || kept(folder, name, keep)) continue;
    if (::unlinkat(static_cast<int>(folder.handle_), name.c_str(), 0) == 0) ++removed;
  }
  return removed;
}

std::vector<Unflushed> syncRecords(const FolderLock& folder,
                                   const std::vector<std::filesystem::path>& files) {
  const int fd = static_cast<int>(folder.handle_);
  std::vector<Unflushed> failed;
  // One pass over the folder's filesystem writes every record out, far cheaper than one
  // flush per record; with nothing written there is nothing to flush.
  if (!files.empty() && ::syncfs(fd) != 0) failed.push_back({{}, lastError()});
  if (failed.empty() && ::fsync(fd) != 0 && errno != EINVAL) failed.push_back({{}, lastError()});
  if (!folder.flushesEachRecord()) return failed;
  // Each one, even after one fails: as many as can be are on disk.
  for (const auto& file : files) {
    const int one = ::openat(fd, file.filename().c_str(), O_RDONLY | O_CLOEXEC);
    if (one < 0 || ::fsync(one) != 0) failed.push_back({file, lastError()});
    if (one >= 0) ::close(one);
  }
  return failed;
}

}  // namespace orvella::platform
