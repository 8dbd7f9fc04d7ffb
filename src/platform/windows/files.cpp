#include "platform/files.hpp"

#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "platform/record_names.hpp"
#include "platform/windows/handles.hpp"
#include "platform/windows/long_paths.hpp"

namespace orvella::platform {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::optional<FileId> idOfHandle(HANDLE h) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(h, &info)) return std::nullopt;
  return FileId{info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

}  // namespace

std::optional<FileId> fileIdOf(const std::filesystem::path& path) {
  // No access asked for: attributes only, and folders open too.
  const HANDLE h = ::CreateFileW(systemPath(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  auto id = idOfHandle(h);
  ::CloseHandle(h);
  return id;
}

std::optional<PathInfo> pathInfo(const std::filesystem::path& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(systemPath(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return PathInfo{(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                  (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow};
}

std::vector<std::filesystem::path> folderEntries(const std::filesystem::path& folder) {
  // The C runtime's folder listing stops at the classic path limit; the system's own does not.
  std::vector<std::filesystem::path> names;
  WIN32_FIND_DATAW entry{};
  const HANDLE find = ::FindFirstFileW(systemPath(folder / L"*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring_view name = entry.cFileName;
    if (name != L"." && name != L"..") names.emplace_back(name);
  } while (::FindNextFileW(find, &entry));
  ::FindClose(find);
  return names;
}

bool isDeviceName(const std::filesystem::path& path) {
  // The extended form takes every name literally.
  if (path.native().starts_with(L"\\\\?\\")) return false;
  // The system reads the name up to its first dot or colon, trailing spaces dropped.
  std::wstring name = path.filename().native();
  name.resize(std::min(name.size(), name.find_first_of(L".:")));
  while (!name.empty() && name.back() == L' ') name.pop_back();
  for (wchar_t& c : name) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  if (name == L"CON" || name == L"PRN" || name == L"AUX" || name == L"NUL") return true;
  if (name.size() != 4 || (!name.starts_with(L"COM") && !name.starts_with(L"LPT"))) return false;
  const wchar_t n = name[3];
  return (n >= L'1' && n <= L'9') || n == L'\u00b9' || n == L'\u00b2' || n == L'\u00b3';
}

std::optional<SystemError> checkFolderWritable(const std::filesystem::path& folder) {
  // Rights on Windows come from access lists, not a bit to read: make a file there and drop it.
  const HANDLE h = ::CreateFileW(systemPath(hiddenRecordName(folder)).c_str(), GENERIC_WRITE, 0, nullptr,
                                 CREATE_NEW, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) return lastError();
  ::CloseHandle(h);
  return std::nullopt;
}

bool InputFile::isOpen() const { return handle_ != -1; }

void InputFile::close() {
  if (handle_ != -1) ::CloseHandle(toHandle(handle_));
  handle_ = -1;
}

std::optional<SystemError> InputFile::open(const std::filesystem::path& path, const GiveUp&) {
  close();
  // Opened, a device would be read as one: "nul.txt" an empty text, "con" the keyboard.
  if (isDeviceName(path)) return SystemError{ErrorKind::DeviceName, static_cast<int>(ERROR_INVALID_NAME)};
  const std::wstring name = systemPath(path);
  // A folder would only say "access denied"; say what it is.
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return SystemError{ErrorKind::IsFolder, static_cast<int>(ERROR_DIRECTORY)};
  }
  // Binary and shared: the bytes as they are (no CR LF folding, no end at Ctrl-Z), and the
  // user may still edit, rename or delete the text while it is read.
  const HANDLE h = ::CreateFileW(name.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return lastError();
  handle_ = fromHandle(h);
  return std::nullopt;
}

ReadResult InputFile::read(char* into, std::size_t size, const GiveUp& giveUp) {
  const DWORD ask = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
  for (;;) {
    DWORD got = 0;
    if (::ReadFile(toHandle(handle_), into, ask, &got, nullptr)) return {got, std::nullopt};
    const DWORD code = ::GetLastError();
    // A pipe whose writer has gone has simply ended.
    if (code == ERROR_BROKEN_PIPE || code == ERROR_HANDLE_EOF) return {0, std::nullopt};
    // A stop request breaks a waiting read (see signals.cpp).
    if (code == ERROR_OPERATION_ABORTED) {
      if (giveUp && giveUp()) return {0, SystemError{ErrorKind::Interrupted, static_cast<int>(code)}};
      continue;
    }
    return {0, fromCode(static_cast<int>(code))};
  }
}

std::optional<FileId> InputFile::id() const {
  if (handle_ == -1) return std::nullopt;
  return idOfHandle(toHandle(handle_));
}

}  // namespace orvella::platform
