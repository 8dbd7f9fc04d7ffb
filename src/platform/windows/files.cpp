#include <windows.h>

#include "platform/files.hpp"
#include "platform/record_names.hpp"
#include "platform/windows/handles.hpp"

namespace orvella::platform {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::optional<FileId> idOfHandle(HANDLE h) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(h, &info)) return std::nullopt;
  return FileId{info.dwVolumeSerialNumber,
                (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

}  // namespace

std::optional<FileId> fileIdOf(const std::filesystem::path& path) {
  // No access asked for: attributes only, and folders open too.
  const HANDLE h = ::CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  auto id = idOfHandle(h);
  ::CloseHandle(h);
  return id;
}

std::optional<SystemError> checkFolderWritable(const std::filesystem::path& folder) {
  // Rights on Windows come from access lists, not a bit to read: make a file there and drop it.
  const HANDLE h = ::CreateFileW(hiddenRecordName(folder).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
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
  // A folder would only say "access denied"; say what it is.
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return SystemError{ErrorKind::IsFolder, static_cast<int>(ERROR_DIRECTORY)};
  }
  // Binary and shared: the bytes as they are (no CR LF folding, no end at Ctrl-Z), and the
  // user may still edit, rename or delete the text while it is read.
  const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
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
