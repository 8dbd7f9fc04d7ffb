#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/files.hpp"

namespace orvella::platform {

FolderLock::~FolderLock() { release(); }

void FolderLock::release() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));  // closing drops the lock
  handle_ = -1;
}

FolderLock::State FolderLock::acquire(const std::filesystem::path& folder) {
  release();
  error_.reset();
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
  return State::Held;
}

int removeRecordTemporaries(const std::filesystem::path& folder) {
  int removed = 0;
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator(folder, ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (!isRecordTemporary(it->path().filename().native())) continue;
    if (::unlink(it->path().c_str()) == 0) ++removed;
  }
  return removed;
}

std::vector<Unflushed> syncRecords(const std::filesystem::path& folder,
                                   const std::vector<std::filesystem::path>& files) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return {{{}, lastError()}};
  std::vector<Unflushed> failed;
  // One pass over the folder's filesystem writes every record out, far cheaper than one
  // flush per record; with nothing written there is nothing to flush.
  if (!files.empty() && ::syncfs(fd) != 0) failed.push_back({{}, lastError()});
  if (failed.empty() && ::fsync(fd) != 0 && errno != EINVAL) failed.push_back({{}, lastError()});
  ::close(fd);
  return failed;
}

}  // namespace orvella::platform
