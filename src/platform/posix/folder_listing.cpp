#include "platform/folder_listing.hpp"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace orvella::platform {

std::optional<SystemError> listFolder(const std::filesystem::path& folder,
                                      std::vector<FolderEntry>& entries) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return lastError();
  std::optional<SystemError> failed;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir);
    if (!entry) {
      if (errno != 0) failed = lastError();
      break;
    }
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    bool isFile = entry->d_type == DT_REG;
    // The type is not always in the entry, and a link is judged by what it leads to.
    if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
      struct stat st {};
      isFile = ::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
    }
    entries.push_back({std::filesystem::path(name), isFile});
  }
  ::closedir(dir);
  return failed;
}

}  // namespace orvella::platform
