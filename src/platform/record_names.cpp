#include "platform/record_names.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>

#include "platform/files.hpp"

namespace orvella {

std::string fileNameFor(int number) {
  std::string name(kRecordPrefix);
  name.append(kRecordDigits, '0');
  for (std::size_t i = name.size(); number > 0 && i > kRecordPrefix.size(); --i) {
    name[i - 1] = static_cast<char>('0' + number % 10);
    number /= 10;
  }
  name.append(kRecordExtension);
  return name;
}

std::optional<int> recordNumberOf(std::string_view name, LetterCase letters) {
  const auto same = [letters](std::string_view a, std::string_view b) {
    if (letters == LetterCase::Exact) return a == b;
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char x, char y) { return upper(x) == upper(y); });
  };
  if (name.size() != kRecordPrefix.size() + kRecordDigits + kRecordExtension.size() ||
      !same(name.substr(0, kRecordPrefix.size()), kRecordPrefix) ||
      !same(name.substr(kRecordPrefix.size() + kRecordDigits), kRecordExtension)) {
    return std::nullopt;
  }
  int number = 0;
  for (const char c : name.substr(kRecordPrefix.size(), kRecordDigits)) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  return number;
}

}  // namespace orvella

namespace orvella::platform {

namespace {

constexpr std::string_view kTempPrefix = ".orvella-";
constexpr std::string_view kTempSuffix = ".tmp";
constexpr std::size_t kHexDigits = 16;
constexpr char kHexFormat[] = "%016llx";
// Earlier versions: "." and a record's name, then ".tmp<pid>-<n>".
constexpr std::string_view kOldStart = ".";
constexpr std::string_view kOldMiddle = ".tmp";

// Takes `text` off the front of `name`; false when `name` does not start with it.
bool take(std::string_view& name, std::string_view text) {
  if (name.substr(0, text.size()) != text) return false;
  name.remove_prefix(text.size());
  return true;
}

// Takes at least `least` (and, when `exactly`, no more) characters for which `is` holds.
template <class Is>
bool takeRun(std::string_view& name, std::size_t least, bool exactly, Is is) {
  std::size_t n = 0;
  while (n < name.size() && is(name[n]) && !(exactly && n == least)) ++n;
  if (n < least) return false;
  name.remove_prefix(n);
  return true;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
// The hexadecimal digits hiddenRecordName writes.
bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f'); }

}  // namespace

std::filesystem::path hiddenRecordName(const std::filesystem::path& folder) {
  static thread_local std::mt19937_64 rng{std::random_device{}() ^
                                          (std::uint64_t(std::random_device{}()) << 32)};
  char hex[kHexDigits + 1];
  std::snprintf(hex, sizeof hex, kHexFormat, static_cast<unsigned long long>(rng()));
  std::string name(kTempPrefix);
  name += hex;
  name += kTempSuffix;
  return folder / name;
}

bool isRecordTemporary(std::string_view name) {
  std::string_view rest = name;
  if (take(rest, kTempPrefix)) return takeRun(rest, kHexDigits, true, isHexDigit) && rest == kTempSuffix;
  return take(rest, kOldStart) && take(rest, kRecordPrefix) &&
         takeRun(rest, static_cast<std::size_t>(kRecordDigits), true, isDigit) &&
         take(rest, kRecordExtension) && take(rest, kOldMiddle) && takeRun(rest, 1, false, isDigit) &&
         take(rest, "-") && takeRun(rest, 1, false, isDigit) && rest.empty();
}

}  // namespace orvella::platform
