#include "platform/folder_listing.hpp"

#include <windows.h>

#include <string_view>

namespace orvella::platform {

std::optional<SystemError> listFolder(const std::filesystem::path& folder,
                                      std::vector<FolderEntry>& entries) {
  WIN32_FIND_DATAW data{};
  const std::filesystem::path pattern = folder / L"*";
  const HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                         nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    // The root of a drive has no "." or "..": an empty one finds nothing at all.
    if (::GetLastError() == ERROR_FILE_NOT_FOUND) return std::nullopt;
    return lastError();
  }
  std::optional<SystemError> failed;
  do {
    const std::wstring_view name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    entries.push_back({std::filesystem::path(name), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0});
  } while (::FindNextFileW(find, &data));
  if (::GetLastError() != ERROR_NO_MORE_FILES) failed = lastError();
  ::FindClose(find);
  return failed;
}

}  // namespace orvella::platform
