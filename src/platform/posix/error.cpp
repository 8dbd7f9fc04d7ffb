#include "platform/error.hpp"

#include <cerrno>

namespace orvella::platform {

SystemError fromCode(int code) {
  switch (code) {
    case ENOSPC:
      return {ErrorKind::DiskFull, code};
#ifdef EDQUOT
    case EDQUOT:
      return {ErrorKind::Quota, code};
#endif
    case EFBIG:
    case EOVERFLOW:
      return {ErrorKind::FileTooLarge, code};
    case EACCES:
    case EPERM:
      return {ErrorKind::NoPermission, code};
    case EBUSY:
    case ETXTBSY:
      return {ErrorKind::InUse, code};
    case ENOENT:
    case ENOTDIR:
      return {ErrorKind::NotFound, code};
    case EISDIR:
      return {ErrorKind::IsFolder, code};
    case EROFS:
      return {ErrorKind::WriteProtected, code};
    case ENAMETOOLONG:
      return {ErrorKind::NameTooLong, code};
    case EINVAL:
    case EILSEQ:
      return {ErrorKind::BadName, code};
    case EEXIST:
      return {ErrorKind::Exists, code};
    case EIO:
      return {ErrorKind::IoError, code};
    case ENXIO:
    case ENODEV:
    case ESTALE:
    case ENOTCONN:
    case ECONNRESET:
    case ECONNABORTED:
    case ETIMEDOUT:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ENETDOWN:
    case ENETUNREACH:
    case ENETRESET:
#ifdef ECOMM
    case ECOMM:
#endif
#ifdef EREMOTEIO
    case EREMOTEIO:
#endif
      return {ErrorKind::Disconnected, code};
    case EMFILE:
    case ENFILE:
      return {ErrorKind::TooManyOpen, code};
    case ENOMEM:
    case ENOBUFS:
      return {ErrorKind::OutOfMemory, code};
    case EOPNOTSUPP:
#if ENOTSUP != EOPNOTSUPP
    case ENOTSUP:
#endif
    case ENOSYS:
    case EXDEV:
    case ENOLCK:
      return {ErrorKind::NotSupported, code};
    case ELOOP:
      return {ErrorKind::LinkLoop, code};
    case EINTR:
      return {ErrorKind::Interrupted, code};
    default:
      return {ErrorKind::Other, code};
  }
}

SystemError lastError() { return fromCode(errno); }

}  // namespace orvella::platform
