// Paths as the Windows calls take them, whatever their length.
#pragma once

#include <filesystem>
#include <string>

namespace orvella::platform {

// Past the classic length limit, the extended-length form: absolute, with "." and ".." resolved
// and "/" made "\", behind "\\?\" (or "\\?\UNC\" for a share). Shorter paths stay as given, so
// they keep their ordinary reading (relative to the current folder, device names).
[[nodiscard]] std::wstring systemPath(const std::filesystem::path& path);

}  // namespace orvella::platform
