#include "platform/record_names.hpp"

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

std::optional<int> recordNumberOf(std::string_view name) {
  if (name.size() != kRecordPrefix.size() + kRecordDigits + kRecordExtension.size() ||
      name.substr(0, kRecordPrefix.size()) != kRecordPrefix ||
      name.substr(kRecordPrefix.size() + kRecordDigits) != kRecordExtension) {
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
}  // namespace

std::filesystem::path hiddenRecordName(const std::filesystem::path& folder) {
  static thread_local std::mt19937_64 rng{std::random_device{}() ^
                                          (std::uint64_t(std::random_device{}()) << 32)};
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(rng()));
  std::string name(kTempPrefix);
  name += hex;
  name += kTempSuffix;
  return folder / name;
}

bool isRecordTemporary(std::string_view name) {
  const auto endsWith = [&](std::string_view s) {
    return name.size() >= s.size() && name.substr(name.size() - s.size()) == s;
  };
  if (name.substr(0, kTempPrefix.size()) == kTempPrefix && endsWith(kTempSuffix)) return true;
  // Earlier versions: ".E1__0000.VMG.tmp<pid>-<n>".
  constexpr std::string_view kOld = ".VMG.tmp";
  if (name.substr(0, 5) != ".E1__") return false;
  const auto at = name.find(kOld);
  if (at == std::string_view::npos) return false;
  const std::string_view rest = name.substr(at + kOld.size());
  const auto dash = rest.find('-');
  if (dash == std::string_view::npos || dash == 0 || dash + 1 == rest.size()) return false;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (i != dash && (rest[i] < '0' || rest[i] > '9')) return false;
  }
  return true;
}

}  // namespace orvella::platform
