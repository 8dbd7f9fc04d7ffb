#include "platform/error.hpp"

#include <cerrno>

namespace orvella::platform {

namespace {

struct CodeKind {
  int code;
  ErrorKind kind;
};

// A table rather than a switch: the list of codes outgrows a function. The first match wins.
constexpr CodeKind kKinds[] = {
    {ENOSPC, ErrorKind::DiskFull},
#ifdef EDQUOT
    {EDQUOT, ErrorKind::Quota},
#endif
    {EFBIG, ErrorKind::FileTooLarge},
    {EOVERFLOW, ErrorKind::FileTooLarge},
    {EACCES, ErrorKind::NoPermission},
    {EPERM, ErrorKind::NoPermission},
    {EBUSY, ErrorKind::InUse},
    {ETXTBSY, ErrorKind::InUse},
    {ENOENT, ErrorKind::NotFound},
    {ENOTDIR, ErrorKind::NotFound},
    {EISDIR, ErrorKind::IsFolder},
    {EROFS, ErrorKind::WriteProtected},
    {ENAMETOOLONG, ErrorKind::NameTooLong},
    {EINVAL, ErrorKind::BadName},
    {EILSEQ, ErrorKind::BadName},
    {EEXIST, ErrorKind::Exists},
    {EIO, ErrorKind::IoError},
    {ENXIO, ErrorKind::Disconnected},
    {ENODEV, ErrorKind::Disconnected},
    {ESTALE, ErrorKind::Disconnected},
    {ENOTCONN, ErrorKind::Disconnected},
    {ECONNRESET, ErrorKind::Disconnected},
    {ECONNABORTED, ErrorKind::Disconnected},
    {ETIMEDOUT, ErrorKind::Disconnected},
    {EHOSTDOWN, ErrorKind::Disconnected},
    {EHOSTUNREACH, ErrorKind::Disconnected},
    {ENETDOWN, ErrorKind::Disconnected},
    {ENETUNREACH, ErrorKind::Disconnected},
    {ENETRESET, ErrorKind::Disconnected},
#ifdef ECOMM
    {ECOMM, ErrorKind::Disconnected},
#endif
#ifdef EREMOTEIO
    {EREMOTEIO, ErrorKind::Disconnected},
#endif
    {EMFILE, ErrorKind::TooManyOpen},
    {ENFILE, ErrorKind::TooManyOpen},
    {ENOMEM, ErrorKind::OutOfMemory},
    {ENOBUFS, ErrorKind::OutOfMemory},
    {EOPNOTSUPP, ErrorKind::NotSupported},
    {ENOTSUP, ErrorKind::NotSupported},
    {ENOSYS, ErrorKind::NotSupported},
    {EXDEV, ErrorKind::NotSupported},
    {ENOLCK, ErrorKind::NotSupported},
    {ELOOP, ErrorKind::LinkLoop},
    {EINTR, ErrorKind::Interrupted},
};

}  // namespace

SystemError fromCode(int code) {
  for (const CodeKind& entry : kKinds) {
    if (entry.code == code) return {entry.kind, code};
  }
  return {ErrorKind::Other, code};
}

SystemError lastError() { return fromCode(errno); }

}  // namespace orvella::platform
