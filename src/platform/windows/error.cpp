#include <windows.h>

#include "platform/error.hpp"

namespace orvella::platform {

namespace {
// Newer than the MinGW headers at hand.
constexpr DWORD kDirectoryNotSupported = 336;
constexpr DWORD kDiskQuotaExceeded = 1295;
}  // namespace

SystemError fromCode(int code) {
  switch (static_cast<DWORD>(code)) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return {ErrorKind::DiskFull, code};
    case kDiskQuotaExceeded:
    case ERROR_NOT_ENOUGH_QUOTA: return {ErrorKind::Quota, code};
    case ERROR_FILE_TOO_LARGE: return {ErrorKind::FileTooLarge, code};
    case ERROR_ACCESS_DENIED:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
    case ERROR_CANT_ACCESS_FILE: return {ErrorKind::NoPermission, code};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
    case ERROR_DELETE_PENDING:
    case ERROR_DRIVE_LOCKED:
    case ERROR_BUSY:
    case ERROR_PIPE_BUSY: return {ErrorKind::InUse, code};
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return {ErrorKind::NotFound, code};
    case kDirectoryNotSupported: return {ErrorKind::IsFolder, code};
    case ERROR_WRITE_PROTECT: return {ErrorKind::WriteProtected, code};
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW: return {ErrorKind::NameTooLong, code};
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
    case ERROR_INVALID_PARAMETER: return {ErrorKind::BadName, code};
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return {ErrorKind::Exists, code};
    case ERROR_CRC:
    case ERROR_SEEK:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_HANDLE_EOF:
    case ERROR_IO_DEVICE:
    case ERROR_DISK_OPERATION_FAILED:
    case ERROR_FILE_CORRUPT:
    case ERROR_DISK_CORRUPT: return {ErrorKind::IoError, code};
    case ERROR_NOT_READY:
    case ERROR_WRONG_DISK:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_FILE_INVALID:
    case ERROR_MEDIA_CHANGED:
    case ERROR_NO_MEDIA_IN_DRIVE:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
    case ERROR_UNRECOGNIZED_MEDIA:
    case ERROR_REM_NOT_LIST:
    case ERROR_NETWORK_BUSY:
    case ERROR_BAD_NET_RESP:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_NETNAME_DELETED:
    case ERROR_SEM_TIMEOUT:
    case ERROR_VC_DISCONNECTED:
    case ERROR_NETWORK_UNREACHABLE:
    case ERROR_CONNECTION_ABORTED: return {ErrorKind::Disconnected, code};
    case ERROR_TOO_MANY_OPEN_FILES: return {ErrorKind::TooManyOpen, code};
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
    case ERROR_NO_SYSTEM_RESOURCES: return {ErrorKind::OutOfMemory, code};
    case ERROR_INVALID_FUNCTION:
    case ERROR_NOT_SUPPORTED:
    case ERROR_CALL_NOT_IMPLEMENTED:
    case ERROR_NOT_SAME_DEVICE: return {ErrorKind::NotSupported, code};
    case ERROR_CANT_RESOLVE_FILENAME: return {ErrorKind::LinkLoop, code};
    case ERROR_OPERATION_ABORTED:
    case ERROR_CANCELLED: return {ErrorKind::Interrupted, code};
    default: return {ErrorKind::Other, code};
  }
}

SystemError lastError() { return fromCode(static_cast<int>(::GetLastError())); }

}  // namespace orvella::platform
