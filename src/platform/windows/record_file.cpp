#include <windows.h>

#include "platform/files.hpp"
#include "platform/record_names.hpp"
#include "platform/windows/handles.hpp"
#include "platform/windows/long_paths.hpp"

namespace orvella::platform {

namespace {

std::optional<SystemError> lastFailure() { return lastError(); }

// A file open in another program that does not share its deletion refuses to be replaced with
// "access denied"; asking for the right to delete it tells that apart from a lack of rights.
bool heldByAnother(const std::wstring& file) {
  const HANDLE h = ::CreateFileW(file.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    ::CloseHandle(h);
    return false;
  }
  return ::GetLastError() == ERROR_SHARING_VIOLATION;
}

// Puts the finished file over the target. A new name takes one move that refuses to replace;
// an existing record is replaced only after the look a rename alone would skip: a read-only
// record or a folder of that name stays as it was.
std::optional<SystemError> moveOver(const std::filesystem::path& fromPath,
                                    const std::filesystem::path& toPath) {
  const std::wstring from = systemPath(fromPath);
  const std::wstring to = systemPath(toPath);
  if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return std::nullopt;
  const DWORD code = ::GetLastError();
  if (code != ERROR_ALREADY_EXISTS && code != ERROR_FILE_EXISTS && code != ERROR_ACCESS_DENIED) {
    return fromCode(static_cast<int>(code));
  }
  const DWORD attributes = ::GetFileAttributesW(to.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return fromCode(static_cast<int>(code));
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return SystemError{ErrorKind::IsFolder, static_cast<int>(code)};
  if (attributes & FILE_ATTRIBUTE_READONLY) return SystemError{ErrorKind::ReadOnly, static_cast<int>(code)};
  if (!::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const SystemError failed = lastError();
    return failed.kind == ErrorKind::NoPermission && heldByAnother(to)
               ? SystemError{ErrorKind::InUse, failed.code}
               : failed;
  }
  return std::nullopt;
}

}  // namespace

// Windows has no unnamed files: records always start under a hidden name.
void preferNamedRecordFiles(bool) {}

bool RecordFile::isOpen() const { return handle_ != -1; }

void RecordFile::discard() {
  if (handle_ != -1) ::CloseHandle(toHandle(handle_));
  handle_ = -1;
  if (!named_.empty()) ::DeleteFileW(systemPath(named_).c_str());
  named_.clear();
  size_ = 0;
}

std::optional<SystemError> RecordFile::create(const std::filesystem::path& folder) {
  discard();
  folder_ = folder.empty() ? std::filesystem::path(".") : folder;
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::filesystem::path name = hiddenRecordName(folder_);
    // Hidden from Explorer until it is complete; CREATE_NEW never opens someone else's file.
    const HANDLE h = ::CreateFileW(systemPath(name).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                   nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      handle_ = fromHandle(h);
      named_ = name;
      return std::nullopt;
    }
    const DWORD code = ::GetLastError();
    if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) return fromCode(static_cast<int>(code));
  }
  return fromCode(ERROR_FILE_EXISTS);
}

std::optional<SystemError> RecordFile::write(std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD ask = bytes.size() > MAXDWORD ? MAXDWORD : static_cast<DWORD>(bytes.size());
    DWORD done = 0;
    if (!::WriteFile(toHandle(handle_), bytes.data(), ask, &done, nullptr)) return lastFailure();
    if (done == 0) return fromCode(ERROR_WRITE_FAULT);
    bytes.remove_prefix(done);
    size_ += done;
  }
  return std::nullopt;
}

std::optional<SystemError> RecordFile::readAt(std::uint64_t offset, char* into, std::size_t size) {
  while (size > 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD ask = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
    DWORD got = 0;
    if (!::ReadFile(toHandle(handle_), into, ask, &got, &at)) return lastFailure();
    if (got == 0) return fromCode(ERROR_HANDLE_EOF);
    into += got;
    size -= got;
    offset += got;
  }
  // A positioned read moves the file pointer on Windows; writing goes on at the end.
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(size_);
  if (!::SetFilePointerEx(toHandle(handle_), end, nullptr, FILE_BEGIN)) return lastFailure();
  return std::nullopt;
}

std::optional<SystemError> RecordFile::commit(const std::filesystem::path& target) {
  if (handle_ == -1) return fromCode(ERROR_INVALID_HANDLE);
  if (target.native().find(L'\0') != std::wstring::npos || target.filename().empty()) {
    return fromCode(ERROR_INVALID_NAME);
  }
  // The record keeps its attributes through the move: it must not arrive hidden.
  FILE_BASIC_INFO basic{};
  basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  std::optional<SystemError> failed;
  if (!::SetFileInformationByHandle(toHandle(handle_), FileBasicInfo, &basic, sizeof basic))
    failed = lastFailure();
  ::CloseHandle(toHandle(handle_));
  handle_ = -1;
  if (!failed) failed = moveOver(named_, target);
  if (!failed) named_.clear();
  discard();
  return failed;
}

}  // namespace orvella::platform
