// A failure as the operating system reported it: what kind it is, and the system's own number,
// so the reason reaches the user in Japanese without losing the detail.
#pragma once

namespace orvella::platform {

enum class ErrorKind {
  DiskFull,
  FileTooLarge,
  NoPermission,
  NotFound,
  IsFolder,
  ReadOnly,
  NameTooLong,
  BadName,
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
