// What a folder holds, read once: the names of its entries and which of them are files.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "platform/error.hpp"

namespace orvella::platform {

struct FolderEntry {
  std::filesystem::path name;  // the entry's own name, without the folder
  bool isFile = false;         // a file, or a link that leads to one
};

// Every entry of the folder but "." and "..", in no particular order; nothing on success,
// otherwise why the folder could not be read.
[[nodiscard]] std::optional<SystemError> listFolder(const std::filesystem::path& folder,
                                                    std::vector<FolderEntry>& entries);

}  // namespace orvella::platform
