// How a failed record write is told: a run writes each record under a hidden name and puts it
// in place whole (Run::WriteText, platform::RecordFile), so a failure leaves no truncated record.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/error.hpp"

namespace orvella {

// "書き込み中にエラーが発生しました。" with the file and why, in Japanese.
std::string writeFailureText(const std::filesystem::path& file, const platform::SystemError& error);

}  // namespace orvella
