// Moving and ending the seam's file objects: the same on every platform, whatever the handle is.
#include <algorithm>
#include <utility>

#include "platform/files.hpp"

namespace orvella::platform {

InputFile::~InputFile() { close(); }

InputFile::InputFile(InputFile&& other) noexcept : handle_(other.handle_) { other.handle_ = -1; }

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    close();
    handle_ = other.handle_;
    other.handle_ = -1;
  }
  return *this;
}

RecordFile::~RecordFile() { discard(); }

RecordFile::RecordFile(RecordFile&& other) noexcept
    : handle_(other.handle_),
      folderHandle_(other.folderHandle_),
      folder_(std::move(other.folder_)),
      named_(std::move(other.named_)),
      size_(other.size_) {
  other.handle_ = -1;
  other.folderHandle_ = -1;
  other.named_.clear();
}

RecordFile& RecordFile::operator=(RecordFile&& other) noexcept {
  if (this != &other) {
    discard();
    handle_ = other.handle_;
    folderHandle_ = other.folderHandle_;
    folder_ = std::move(other.folder_);
    named_ = std::move(other.named_);
    size_ = other.size_;
    other.handle_ = -1;
    other.folderHandle_ = -1;
    other.named_.clear();
  }
  return *this;
}

bool kept(const FolderLock& folder, const std::filesystem::path& name, const std::vector<FileId>& keep) {
  if (keep.empty()) return false;
  const auto id = folder.idOf(name);
  return id && std::find(keep.begin(), keep.end(), *id) != keep.end();
}

}  // namespace orvella::platform
