// The names record files go under until they are committed, the same on every system.
#pragma once

#include <filesystem>

namespace orvella::platform {

// A hidden name in the folder that nobody can guess ahead, so no one can make a record fail by
// taking its name first.
[[nodiscard]] std::filesystem::path hiddenRecordName(const std::filesystem::path& folder);

}  // namespace orvella::platform
