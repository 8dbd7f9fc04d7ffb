// Files as a conversion needs them: the input read in blocks, a file's identity, a record file
// that stays invisible until it is complete, and the output folder held for one run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/error.hpp"

namespace orvella::platform {

// Which file a name leads to, whatever the name: two names of one file (hard links) compare
// equal. Device and inode on POSIX; volume serial number and file index on Windows.
struct FileId {
  std::uint64_t volume = 0;
  std::uint64_t file = 0;
  friend bool operator==(const FileId&, const FileId&) = default;
};

// The identity of the file a path names; nothing when it cannot be looked at.
[[nodiscard]] std::optional<FileId> fileIdOf(const std::filesystem::path& path);

// What a path leads to: a folder, or a file and its size; nothing when it cannot be looked at.
struct PathInfo {
  bool folder = false;
  std::uint64_t size = 0;
};
[[nodiscard]] std::optional<PathInfo> pathInfo(const std::filesystem::path& path);

// The names directly in a folder; none when it cannot be listed.
[[nodiscard]] std::vector<std::filesystem::path> folderEntries(const std::filesystem::path& folder);

// True for a name the system takes for a device rather than a file (Windows: CON, PRN, AUX,
// NUL, COM1-9 and LPT1-9, with any extension, in any case); never elsewhere.
[[nodiscard]] bool isDeviceName(const std::filesystem::path& path);

// Nothing when new files may be made in the folder; otherwise why not.
[[nodiscard]] std::optional<SystemError> checkFolderWritable(const std::filesystem::path& folder);

// Asked while a read or an open waits on something slow (a pipe): true gives up the wait, which
// then fails with ErrorKind::Interrupted.
using GiveUp = std::function<bool()>;

struct ReadResult {
  std::size_t bytes = 0;  // 0 with no error: the end of the input
  std::optional<SystemError> error;
};

// The input, read from the start to the end in blocks.
class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&& other) noexcept;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // A folder (ErrorKind::IsFolder) or a device name (ErrorKind::DeviceName) is refused here,
  // not read.
  [[nodiscard]] std::optional<SystemError> open(const std::filesystem::path& path, const GiveUp& giveUp = {});
  [[nodiscard]] ReadResult read(char* into, std::size_t size, const GiveUp& giveUp = {});
  [[nodiscard]] std::optional<FileId> id() const;
  bool isOpen() const;
  void close();

 private:
  std::intptr_t handle_ = -1;
};

class FolderLock;

// One record on its way to disk. It lives in the target folder (so that putting it in place is
// a rename, never a copy) but no one sees it there until commit(): an unnamed file where the
// system offers one, else a hidden file under an unguessable name (see isRecordTemporary).
// Whatever ends the program, no partial record is ever visible under a record's name.
class RecordFile {
 public:
  RecordFile() = default;
  ~RecordFile();  // discards what was not committed
  RecordFile(RecordFile&& other) noexcept;
  RecordFile& operator=(RecordFile&& other) noexcept;
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  [[nodiscard]] std::optional<SystemError> create(const std::filesystem::path& folder);
  // In the folder a run holds, whatever has happened to its name since it was taken.
  [[nodiscard]] std::optional<SystemError> create(const FolderLock& folder);
  [[nodiscard]] std::optional<SystemError> write(std::string_view bytes);
  // Bytes written so far.
  std::uint64_t size() const { return size_; }
  // Reads back what was written, from offset; for moving a tail into another record.
  [[nodiscard]] std::optional<SystemError> readAt(std::uint64_t offset, char* into, std::size_t size);
  // Puts the record in place under `target` (a name in the folder given to create()) and
  // closes it. An existing file of that name is replaced atomically, unless it may not be
  // written (ErrorKind::ReadOnly) or is a folder (ErrorKind::IsFolder): then it stays as it was.
  [[nodiscard]] std::optional<SystemError> commit(const std::filesystem::path& target);
  // Drops the record; nothing of it stays.
  void discard();
  bool isOpen() const;

 private:
  [[nodiscard]] std::optional<SystemError> createIn(std::intptr_t folderHandle);

  std::intptr_t handle_ = -1;
  std::intptr_t folderHandle_ = -1;  // where the system can name files relative to a folder
  std::filesystem::path folder_;
  std::filesystem::path named_;  // the hidden name, when the system offers no unnamed file
  std::uint64_t size_ = 0;
};

// Tests, and filesystems known to mishandle unnamed files: record files get hidden names.
void preferNamedRecordFiles(bool named);

// True for the name of a record file that was never committed (left by a run that was killed),
// including the hidden names earlier versions used: exactly the names the writers made, nothing
// that merely looks like them.
[[nodiscard]] bool isRecordTemporary(std::string_view fileName);

// A file the system could not confirm on disk, and why; an empty name stands for the whole
// folder, where the system flushes no file alone.
struct Unflushed {
  std::filesystem::path file;
  SystemError error;
};

// The output folder held for the whole of one run, so two runs never write into one folder.
// The lock goes with the process: a run that crashes leaves nothing to clean up. Where the
// system allows it the run writes through this hold on the folder, not through its name, so the
// series stays in one folder whatever is renamed or re-pointed while it runs.
class FolderLock {
 public:
  enum class State { Held, Busy, Failed };

  FolderLock() = default;
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Held: this run has the folder. Busy: another run has it. Failed: see error().
  [[nodiscard]] State acquire(const std::filesystem::path& folder);
  void release();
  const std::optional<SystemError>& error() const { return error_; }

  // The path it was taken by.
  const std::filesystem::path& path() const { return path_; }
  // The folder's own identity, and that of a name in it as its filesystem resolves the name
  // (a folder that ignores case finds "e1__0005.vmg" under "E1__0005.VMG").
  [[nodiscard]] std::optional<FileId> id() const;
  [[nodiscard]] std::optional<FileId> idOf(const std::filesystem::path& name) const;
  // True where the name leads to a file there (a link to one included), not to a folder.
  [[nodiscard]] bool holdsFile(const std::filesystem::path& name) const;
  // The names of its entries, as they are spelt there.
  [[nodiscard]] std::vector<std::filesystem::path> names() const;
  // True where the folder's filesystem is served by a user program (FUSE: exFAT or NTFS drivers,
  // a phone over MTP, sshfs), which a flush of the whole filesystem never reaches: syncRecords
  // then flushes each record on its own.
  bool flushesEachRecord() const { return flushEach_; }

 private:
  friend class RecordFile;
  friend int removeRecordTemporaries(const FolderLock&, const std::vector<FileId>&);
  friend std::vector<Unflushed> syncRecords(const FolderLock&, const std::vector<std::filesystem::path>&);
  std::intptr_t handle_ = -1;
  std::filesystem::path path_;
  bool flushEach_ = false;
  std::optional<SystemError> error_;
};

// Removes every record temporary left directly in the folder, except the files in `keep` (the
// inputs, which may bear any name); the number removed.
int removeRecordTemporaries(const FolderLock& folder, const std::vector<FileId>& keep);

// True when the folder's entry `name` is one of the files in `keep`; shared by both systems.
[[nodiscard]] bool kept(const FolderLock& folder, const std::filesystem::path& name,
                        const std::vector<FileId>& keep);

// Makes the named files of the folder, and the folder's own entries, durable: on disk when this
// returns nothing. A file that fails does not stop the others from being flushed.
[[nodiscard]] std::vector<Unflushed> syncRecords(const FolderLock& folder,
                                                 const std::vector<std::filesystem::path>& files);

}  // namespace orvella::platform
