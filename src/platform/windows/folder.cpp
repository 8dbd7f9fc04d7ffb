#include <windows.h>

#include <system_error>

#include "platform/files.hpp"
#include "platform/windows/handles.hpp"

namespace orvella::platform {

FolderLock::~FolderLock() { release(); }

void FolderLock::release() {
  if (handle_ != -1) ::CloseHandle(toHandle(handle_));  // closing drops the lock
  handle_ = -1;
}

FolderLock::State FolderLock::acquire(const std::filesystem::path& folder) {
  release();
  error_.reset();
  // The folder itself, opened for adding files and shared with everyone but another such
  // opener: a second run meets a sharing violation, other programs notice nothing, and the
  // lock ends with the process.
  const HANDLE h = ::CreateFileW(folder.c_str(), FILE_ADD_FILE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    if (code == ERROR_SHARING_VIOLATION) return State::Busy;
    error_ = fromCode(static_cast<int>(code));
    return State::Failed;
  }
  handle_ = fromHandle(h);
  return State::Held;
}

int removeRecordTemporaries(const std::filesystem::path& folder) {
  int removed = 0;
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator(folder, ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    const std::u8string name = it->path().filename().u8string();
    if (!isRecordTemporary(std::string_view(reinterpret_cast<const char*>(name.data()), name.size()))) continue;
    if (::DeleteFileW(it->path().c_str())) ++removed;
  }
  return removed;
}

std::optional<SystemError> syncRecords(const std::filesystem::path& folder,
                                       const std::vector<std::filesystem::path>& files) {
  // No folder to flush on Windows: the moves were written through, each record is flushed.
  for (const auto& file : files) {
    const std::filesystem::path path = file.is_absolute() || file.has_parent_path() ? file : folder / file;
    const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return lastError();
    const bool flushed = ::FlushFileBuffers(h) != 0;
    const SystemError error = lastError();
    ::CloseHandle(h);
    if (!flushed) return error;
  }
  return std::nullopt;
}

}  // namespace orvella::platform
