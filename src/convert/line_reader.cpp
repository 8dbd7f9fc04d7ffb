#include "convert/line_reader.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvella {

LineReader::LineReader(const std::filesystem::path& file, std::size_t blockSize,
                       std::function<bool()> interrupted)
    : buf_(blockSize == 0 ? 1 : blockSize), interrupted_(std::move(interrupted)) {
  do {
    fd_ = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd_ < 0 && retryAfter(errno));
  if (fd_ < 0) {
    if (!error_) error_ = platform::fromCode(errno);
    return;
  }
  // A folder opens fine on POSIX and only fails at the first read; say so plainly.
  struct stat st {};
  if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
    error_ = platform::fromCode(EISDIR);
    return;
  }
  fill();
}

LineReader::~LineReader() {
  if (fd_ >= 0) ::close(fd_);
}

bool LineReader::retryAfter(int error) {
  if (error != EINTR) return false;
  if (!interrupted_ || !interrupted_()) return true;
  wasInterrupted_ = true;
  error_ = platform::fromCode(EINTR);
  return false;
}

// Refills the buffer from the start. False at the end of the input or on a read error.
bool LineReader::fill() {
  pos_ = end_ = 0;
  while (!eof_ && !error_) {
    ssize_t n = ::read(fd_, buf_.data(), buf_.size());
    if (n < 0) {
      if (retryAfter(errno)) continue;
      if (!error_) error_ = platform::fromCode(errno);
      return false;
    }
    if (n == 0) {
      eof_ = true;
      return false;
    }
    end_ = static_cast<std::size_t>(n);
    // The LF of a CR LF split across two blocks belongs to the line end already handed out.
    if (pendingCr_) {
      pendingCr_ = false;
      if (buf_[0] == '\n') {
        pos_ = 1;
        ++consumed_;
        if (end_ == 1) {
          pos_ = end_ = 0;
          continue;
        }
      }
    }
    blockHasNul_ = std::memchr(buf_.data() + pos_, 0, end_ - pos_) != nullptr;
    return true;
  }
  return false;
}

bool LineReader::next(std::string& line) {
  std::string_view view;
  const bool got = next(view);
  line.assign(view);
  return got;
}

bool LineReader::next(std::string_view& line) {
  line = {};
  if (error_) return false;
  carry_.clear();
  lineMayHoldNul_ = false;
  bool started = false;
  for (;;) {
    if (pos_ == end_ && !fill()) {
      // An unterminated last line is still a line; a line end at the very end makes no extra one.
      if (error_ || !started) return false;
      line = carry_;
      consumed_ += line.size();
      return true;
    }
    started = true;
    lineMayHoldNul_ = lineMayHoldNul_ || blockHasNul_;
    const char* begin = buf_.data() + pos_;
    const std::size_t avail = end_ - pos_;
    const void* cr = std::memchr(begin, '\r', avail);
    if (!cr) {
      carry_.append(begin, avail);
      pos_ = end_;
      continue;
    }
    const std::size_t len = static_cast<std::size_t>(static_cast<const char*>(cr) - begin);
    // Most lines lie inside one block and are handed out where they stand.
    if (carry_.empty()) {
      line = std::string_view(begin, len);
    } else {
      carry_.append(begin, len);
      line = carry_;
    }
    pos_ += len + 1;
    consumed_ += line.size() + 1;
    if (pos_ < end_) {
      if (buf_[pos_] == '\n') {
        ++pos_;
        ++consumed_;
      }
    } else {
      pendingCr_ = true;
    }
    return true;
  }
}

}  // namespace orvella
