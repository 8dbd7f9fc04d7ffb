#include "platform/windows/long_paths.hpp"

#include <windows.h>

#include <string_view>

namespace orvella::platform {

namespace {
constexpr std::wstring_view kExtended = L"\\\\?\\";
constexpr std::wstring_view kDevice = L"\\\\.\\";
constexpr std::wstring_view kShare = L"\\\\";
constexpr std::wstring_view kExtendedShare = L"\\\\?\\UNC\\";
}  // namespace

std::wstring systemPath(const std::filesystem::path& path) {
  const std::wstring& given = path.native();
  if (given.starts_with(kExtended) || given.starts_with(kDevice) || given.find(L'\0') != std::wstring::npos) {
    return given;
  }
  // The system's own reading of the path, which the extended form no longer applies.
  const DWORD size = ::GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
  if (size == 0) return given;
  std::wstring full(size, L'\0');
  const DWORD length = ::GetFullPathNameW(given.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return given;
  full.resize(length);
  if (full.size() < MAX_PATH || full.starts_with(kDevice)) return given;
  if (full.starts_with(kShare)) return std::wstring(kExtendedShare) + full.substr(kShare.size());
  return std::wstring(kExtended) + full;
}

}  // namespace orvella::platform
