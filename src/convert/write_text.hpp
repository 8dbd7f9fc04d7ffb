// Puts one finished record on disk, atomically: a temporary file in the target folder renamed
// over the final name, so a failure never leaves a truncated record or destroys an older one.
#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

namespace orvella {

// Receives the one report of a failed write (texts::kWriteError).
using WriteErrorReport = std::function<void(std::string_view message)>;

// Writes the bytes as they stand. Returns false after any failure, reported once.
bool WriteText(const std::filesystem::path& FName, std::string_view bytes,
               const WriteErrorReport& report);

}  // namespace orvella
