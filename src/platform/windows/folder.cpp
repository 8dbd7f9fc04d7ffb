#include <windows.h>

#include <string>

#include "platform/files.hpp"
#include "platform/windows/handles.hpp"
#include "platform/windows/long_paths.hpp"

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
  const HANDLE h =
      ::CreateFileW(systemPath(folder).c_str(), FILE_ADD_FILE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
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
  for (const auto& name : folderEntries(folder)) {
    const std::u8string text = name.u8string();
    if (!isRecordTemporary(std::string_view(reinterpret_cast<const char*>(text.data()), text.size())))
      continue;
    if (::DeleteFileW(systemPath(folder / name).c_str())) ++removed;
  }
  return removed;
}

std::vector<Unflushed> syncRecords(const std::filesystem::path& folder,
                                   const std::vector<std::filesystem::path>& files) {
  // No folder to flush on Windows: the moves were written through, each record is flushed.
  // One that another program holds stops none of the others.
  std::vector<Unflushed> failed;
  for (const auto& file : files) {
    const std::filesystem::path path = file.is_absolute() || file.has_parent_path() ? file : folder / file;
    const HANDLE h = ::CreateFileW(systemPath(path).c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      failed.push_back({path, lastError()});
      continue;
    }
    if (!::FlushFileBuffers(h)) failed.push_back({path, lastError()});
    ::CloseHandle(h);
  }
  return failed;
}

}  // namespace orvella::platform
