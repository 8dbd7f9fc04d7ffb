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
  // The folder itself, opened for adding files and shared for reading only: a second run meets
  // a sharing violation, and so does renaming or deleting the folder, so the series stays in
  // one folder. The lock ends with the process.
  const HANDLE h = ::CreateFileW(systemPath(folder).c_str(), FILE_ADD_FILE, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    if (code == ERROR_SHARING_VIOLATION) return State::Busy;
    error_ = fromCode(static_cast<int>(code));
    return State::Failed;
  }
  handle_ = fromHandle(h);
  path_ = folder;
  return State::Held;
}

std::optional<FileId> FolderLock::id() const { return fileIdOf(path_); }

std::optional<FileId> FolderLock::idOf(const std::filesystem::path& name) const {
  return fileIdOf(path_ / name);
}

bool FolderLock::holdsFile(const std::filesystem::path& name) const {
  const DWORD attributes = ::GetFileAttributesW(systemPath(path_ / name).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::vector<std::filesystem::path> FolderLock::names() const { return folderEntries(path_); }

// The held folder cannot be renamed (see acquire), so records go by its path.
std::optional<SystemError> RecordFile::create(const FolderLock& folder) { return create(folder.path()); }

int removeRecordTemporaries(const FolderLock& folder, const std::vector<FileId>& keep) {
  int removed = 0;
  for (const auto& name : folder.names()) {
    const std::u8string text = name.u8string();
    if (!isRecordTemporary(std::string_view(reinterpret_cast<const char*>(text.data()), text.size())))
      continue;
    if (kept(folder, name, keep)) continue;
    if (::DeleteFileW(systemPath(folder.path() / name).c_str())) ++removed;
  }
  return removed;
}

std::vector<Unflushed> syncRecords(const FolderLock& folder,
                                   const std::vector<std::filesystem::path>& files) {
  const std::filesystem::path& folderPath = folder.path();
  // No folder to flush on Windows: the moves were written through, each record is flushed.
  // One that another program holds stops none of the others.
  std::vector<Unflushed> failed;
  for (const auto& file : files) {
    const std::filesystem::path path =
        file.is_absolute() || file.has_parent_path() ? file : folderPath / file;
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
