#include <windows.h>

#include "platform/error.hpp"

namespace orvella::platform {

namespace {
// Newer than the MinGW headers at hand.
constexpr DWORD kDirectoryNotSupported = 336;
}  // namespace

SystemError fromCode(int code) {
  switch (static_cast<DWORD>(code)) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return {ErrorKind::DiskFull, code};
    case ERROR_FILE_TOO_LARGE: return {ErrorKind::FileTooLarge, code};
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return {ErrorKind::NoPermission, code};
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH: return {ErrorKind::NotFound, code};
    case kDirectoryNotSupported: return {ErrorKind::IsFolder, code};
    case ERROR_WRITE_PROTECT: return {ErrorKind::ReadOnly, code};
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW: return {ErrorKind::NameTooLong, code};
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY: return {ErrorKind::BadName, code};
    default: return {ErrorKind::Other, code};
  }
}

SystemError lastError() { return fromCode(static_cast<int>(::GetLastError())); }

}  // namespace orvella::platform
