#include <cerrno>

#include "platform/error.hpp"

namespace orvella::platform {

SystemError fromCode(int code) {
  switch (code) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return {ErrorKind::DiskFull, code};
    case EFBIG: return {ErrorKind::FileTooLarge, code};
    case EACCES:
    case EPERM: return {ErrorKind::NoPermission, code};
    case ENOENT:
    case ENOTDIR: return {ErrorKind::NotFound, code};
    case EISDIR: return {ErrorKind::IsFolder, code};
    case EROFS: return {ErrorKind::ReadOnly, code};
    case ENAMETOOLONG: return {ErrorKind::NameTooLong, code};
    case EINVAL:
    case EILSEQ: return {ErrorKind::BadName, code};
    case EINTR: return {ErrorKind::Interrupted, code};
    default: return {ErrorKind::Other, code};
  }
}

SystemError lastError() { return fromCode(errno); }

}  // namespace orvella::platform
