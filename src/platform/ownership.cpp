// Moving and ending the seam's file objects: the same on every platform, whatever the handle is.
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

}  // namespace orvella::platform
