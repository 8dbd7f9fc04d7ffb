// The output folder as a descriptor, shared by the POSIX folder lock and record files.
#pragma once

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/vfs.h>

#include <filesystem>

namespace orvella::platform {

inline int openFolder(const std::filesystem::path& folder) {
  return ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// FUSE: syncfs() and a folder's fsync() stop in the kernel; only a file's fsync() reaches the
// program behind the filesystem.
inline bool servedByUserProgram(int folderFd) {
  struct statfs st {};
  return ::fstatfs(folderFd, &st) == 0 && st.f_type == FUSE_SUPER_MAGIC;
}

}  // namespace orvella::platform
