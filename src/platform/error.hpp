// A failure as the operating system reported it: what kind it is, and the system's own number,
// so the reason reaches the user in Japanese without losing the detail.
#pragma once

namespace orvella::platform {

enum class ErrorKind {
  DiskFull,
  Quota,  // the user's share of the disk, not the disk, is used up
  FileTooLarge,
  NoPermission,
  InUse,  // another program holds the file (a sharing or lock violation, a busy file)
  NotFound,
  IsFolder,
  ReadOnly,        // the file
  WriteProtected,  // the whole drive: a read-only filesystem, a card's write-protect switch
  NameTooLong,
  BadName,
  DeviceName,  // a name the system takes for a device (Windows: NUL, CON, COM1...)
  Exists,
  IoError,       // the device failed to read or write
  Disconnected,  // the drive, card or network share went away
  TooManyOpen,
  OutOfMemory,
  NotSupported,  // the filesystem cannot do it
  LinkLoop,
  Interrupted,  // a wait given up on request (see files.hpp)
  Other,
};

struct SystemError {
  ErrorKind kind = ErrorKind::Other;
  int code = 0;  // errno on POSIX, GetLastError() on Windows
};

// The error the last failed system call left behind on this thread.
[[nodiscard]] SystemError lastError();
// A number in the platform's own terms (an errno value, or a Windows error code).
[[nodiscard]] SystemError fromCode(int code);

}  // namespace orvella::platform
