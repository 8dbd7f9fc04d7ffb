#include "platform/error.hpp"

#include <windows.h>

#include <cstddef>
#include <iterator>

namespace orvella::platform {

namespace {
// Newer than the MinGW headers at hand.
constexpr DWORD kDirectoryNotSupported = 336;
constexpr DWORD kDiskQuotaExceeded = 1295;

// Each code the system gives for a reason the user can act on; any other is ErrorKind::Other.
struct CodeKind {
  DWORD code;
  ErrorKind kind;
};
constexpr CodeKind kCodeKinds[] = {
    {ERROR_DISK_FULL, ErrorKind::DiskFull},
    {ERROR_HANDLE_DISK_FULL, ErrorKind::DiskFull},
    {kDiskQuotaExceeded, ErrorKind::Quota},
    {ERROR_NOT_ENOUGH_QUOTA, ErrorKind::Quota},
    {ERROR_FILE_TOO_LARGE, ErrorKind::FileTooLarge},
    {ERROR_ACCESS_DENIED, ErrorKind::NoPermission},
    {ERROR_NETWORK_ACCESS_DENIED, ErrorKind::NoPermission},
    {ERROR_PRIVILEGE_NOT_HELD, ErrorKind::NoPermission},
    {ERROR_CANT_ACCESS_FILE, ErrorKind::NoPermission},
    {ERROR_SHARING_VIOLATION, ErrorKind::InUse},
    {ERROR_LOCK_VIOLATION, ErrorKind::InUse},
    {ERROR_USER_MAPPED_FILE, ErrorKind::InUse},
    {ERROR_DELETE_PENDING, ErrorKind::InUse},
    {ERROR_DRIVE_LOCKED, ErrorKind::InUse},
    {ERROR_BUSY, ErrorKind::InUse},
    {ERROR_PIPE_BUSY, ErrorKind::InUse},
    {ERROR_FILE_NOT_FOUND, ErrorKind::NotFound},
    {ERROR_PATH_NOT_FOUND, ErrorKind::NotFound},
    {ERROR_INVALID_DRIVE, ErrorKind::NotFound},
    {ERROR_BAD_NETPATH, ErrorKind::NotFound},
    {ERROR_BAD_NET_NAME, ErrorKind::NotFound},
    {kDirectoryNotSupported, ErrorKind::IsFolder},
    {ERROR_WRITE_PROTECT, ErrorKind::WriteProtected},
    {ERROR_FILENAME_EXCED_RANGE, ErrorKind::NameTooLong},
    {ERROR_BUFFER_OVERFLOW, ErrorKind::NameTooLong},
    {ERROR_INVALID_NAME, ErrorKind::BadName},
    {ERROR_BAD_PATHNAME, ErrorKind::BadName},
    {ERROR_DIRECTORY, ErrorKind::BadName},
    {ERROR_INVALID_PARAMETER, ErrorKind::BadName},
    {ERROR_FILE_EXISTS, ErrorKind::Exists},
    {ERROR_ALREADY_EXISTS, ErrorKind::Exists},
    {ERROR_CRC, ErrorKind::IoError},
    {ERROR_SEEK, ErrorKind::IoError},
    {ERROR_SECTOR_NOT_FOUND, ErrorKind::IoError},
    {ERROR_WRITE_FAULT, ErrorKind::IoError},
    {ERROR_READ_FAULT, ErrorKind::IoError},
    {ERROR_GEN_FAILURE, ErrorKind::IoError},
    {ERROR_HANDLE_EOF, ErrorKind::IoError},
    {ERROR_IO_DEVICE, ErrorKind::IoError},
    {ERROR_DISK_OPERATION_FAILED, ErrorKind::IoError},
    {ERROR_FILE_CORRUPT, ErrorKind::IoError},
    {ERROR_DISK_CORRUPT, ErrorKind::IoError},
    {ERROR_NOT_READY, ErrorKind::Disconnected},
    {ERROR_WRONG_DISK, ErrorKind::Disconnected},
    {ERROR_DEV_NOT_EXIST, ErrorKind::Disconnected},
    {ERROR_FILE_INVALID, ErrorKind::Disconnected},
    {ERROR_MEDIA_CHANGED, ErrorKind::Disconnected},
    {ERROR_NO_MEDIA_IN_DRIVE, ErrorKind::Disconnected},
    {ERROR_DEVICE_NOT_CONNECTED, ErrorKind::Disconnected},
    {ERROR_DEVICE_REMOVED, ErrorKind::Disconnected},
    {ERROR_UNRECOGNIZED_MEDIA, ErrorKind::Disconnected},
    {ERROR_REM_NOT_LIST, ErrorKind::Disconnected},
    {ERROR_NETWORK_BUSY, ErrorKind::Disconnected},
    {ERROR_BAD_NET_RESP, ErrorKind::Disconnected},
    {ERROR_UNEXP_NET_ERR, ErrorKind::Disconnected},
    {ERROR_NETNAME_DELETED, ErrorKind::Disconnected},
    {ERROR_SEM_TIMEOUT, ErrorKind::Disconnected},
    {ERROR_VC_DISCONNECTED, ErrorKind::Disconnected},
    {ERROR_NETWORK_UNREACHABLE, ErrorKind::Disconnected},
    {ERROR_CONNECTION_ABORTED, ErrorKind::Disconnected},
    {ERROR_TOO_MANY_OPEN_FILES, ErrorKind::TooManyOpen},
    {ERROR_NOT_ENOUGH_MEMORY, ErrorKind::OutOfMemory},
    {ERROR_OUTOFMEMORY, ErrorKind::OutOfMemory},
    {ERROR_NO_SYSTEM_RESOURCES, ErrorKind::OutOfMemory},
    {ERROR_INVALID_FUNCTION, ErrorKind::NotSupported},
    {ERROR_NOT_SUPPORTED, ErrorKind::NotSupported},
    {ERROR_CALL_NOT_IMPLEMENTED, ErrorKind::NotSupported},
    {ERROR_NOT_SAME_DEVICE, ErrorKind::NotSupported},
    {ERROR_CANT_RESOLVE_FILENAME, ErrorKind::LinkLoop},
    {ERROR_OPERATION_ABORTED, ErrorKind::Interrupted},
    {ERROR_CANCELLED, ErrorKind::Interrupted},
};
// As in a switch, a code has one kind.
constexpr bool codesDistinct() {
  for (std::size_t i = 0; i < std::size(kCodeKinds); ++i) {
    for (std::size_t j = i + 1; j < std::size(kCodeKinds); ++j) {
      if (kCodeKinds[i].code == kCodeKinds[j].code) return false;
    }
  }
  return true;
}
static_assert(codesDistinct());
}  // namespace

SystemError fromCode(int code) {
  for (const CodeKind& row : kCodeKinds) {
    if (row.code == static_cast<DWORD>(code)) return {row.kind, code};
  }
  return {ErrorKind::Other, code};
}

SystemError lastError() { return fromCode(static_cast<int>(::GetLastError())); }

}  // namespace orvella::platform
