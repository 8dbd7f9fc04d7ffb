#include "platform/files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace orvella::platform {

namespace {

// EINTR: go on waiting unless told to give up.
bool retry(const GiveUp& giveUp) { return errno == EINTR && (!giveUp || !giveUp()); }

}  // namespace

std::optional<FileId> fileIdOf(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::optional<PathInfo> pathInfo(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return PathInfo{S_ISDIR(st.st_mode), static_cast<std::uint64_t>(st.st_size)};
}

std::vector<std::filesystem::path> folderEntries(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> names;
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator(folder, ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    names.push_back(it->path().filename());
  }
  return names;
}

// Devices live under /dev here; any other name is a file's.
bool isDeviceName(const std::filesystem::path&) { return false; }

std::optional<SystemError> checkFolderWritable(const std::filesystem::path& folder) {
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return lastError();
  return std::nullopt;
}

bool InputFile::isOpen() const { return handle_ >= 0; }

void InputFile::close() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  handle_ = -1;
}

std::optional<SystemError> InputFile::open(const std::filesystem::path& path, const GiveUp& giveUp) {
  close();
  int fd = -1;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && retry(giveUp));
  if (fd < 0) return lastError();
  handle_ = fd;
  // A folder opens fine here and would only fail at the first read; say so plainly.
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    close();
    return fromCode(EISDIR);
  }
  return std::nullopt;
}

ReadResult InputFile::read(char* into, std::size_t size, const GiveUp& giveUp) {
  for (;;) {
    const ssize_t n = ::read(static_cast<int>(handle_), into, size);
    if (n >= 0) return {static_cast<std::size_t>(n), std::nullopt};
    if (!retry(giveUp)) return {0, lastError()};
  }
}

std::optional<FileId> InputFile::id() const {
  struct stat st {};
  if (handle_ < 0 || ::fstat(static_cast<int>(handle_), &st) != 0) return std::nullopt;
  return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

}  // namespace orvella::platform
