// The names of record files, the same on every system: a record's own name, made and read
// here only, and the hidden names records go under until they are committed.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace orvella {

// A record's name: the prefix, the file number in a fixed count of digits, the extension.
inline constexpr std::string_view kRecordPrefix = "E1__";
inline constexpr std::string_view kRecordExtension = ".VMG";
inline constexpr int kRecordDigits = 4;

// File numbers run from 0 to the largest the digits hold.
inline constexpr int kLastFileNumber = [] {
  int last = 1;
  for (int i = 0; i < kRecordDigits; ++i) last *= 10;
  return last - 1;
}();

// The name of record `number` (0..kLastFileNumber), such as E1__0007.VMG.
[[nodiscard]] std::string fileNameFor(int number);

// The number a record's name carries; nothing for any other name, letter case included unless
// the letters' case is to be ignored (as a card's filesystem does).
enum class LetterCase { Exact, Ignored };
[[nodiscard]] std::optional<int> recordNumberOf(std::string_view name,
                                                LetterCase letters = LetterCase::Exact);

}  // namespace orvella

namespace orvella::platform {

// A hidden name in the folder that nobody can guess ahead, so no one can make a record fail by
// taking its name first.
[[nodiscard]] std::filesystem::path hiddenRecordName(const std::filesystem::path& folder);

}  // namespace orvella::platform
