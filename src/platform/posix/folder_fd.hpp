// The output folder as a descriptor, shared by the POSIX folder lock and record files.
#pragma once

#include <fcntl.h>

#include <filesystem>

namespace orvella::platform {

inline int openFolder(const std::filesystem::path& folder) {
  return ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

}  // namespace orvella::platform
