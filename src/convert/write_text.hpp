// Puts one finished record on disk, atomically: the record file stays invisible until it is
// complete and is then put in place under its name, so a failure never leaves a truncated
// record or destroys an older one.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/error.hpp"

namespace orvella {

// Receives the one report of a failed write: writeFailureText() of the file and the reason.
using WriteErrorReport = std::function<void(std::string_view message)>;

// Writes the bytes as they stand. Returns false after any failure, reported once.
bool WriteText(const std::filesystem::path& FName, std::string_view bytes,
               const WriteErrorReport& report);

// "書き込み中にエラーが発生しました。" with the file and why, in Japanese.
std::string writeFailureText(const std::filesystem::path& file, const platform::SystemError& error);

}  // namespace orvella
