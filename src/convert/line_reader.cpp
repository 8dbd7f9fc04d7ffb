#include "convert/line_reader.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace orvella {

namespace {

constexpr std::size_t kUnknown = std::numeric_limits<std::size_t>::max();
// Enough of the head to see a byte-order mark when the encoding is given.
constexpr std::size_t kMarkProbe = 4;

}  // namespace

LineReader::LineReader(const std::filesystem::path& file, std::size_t blockSize,
                       std::function<bool()> interrupted, EncodingChoice encoding)
    : blockSize_(blockSize == 0 ? 1 : blockSize), buf_(blockSize_), interrupted_(std::move(interrupted)) {
  do {
    fd_ = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd_ < 0 && retryAfter(errno));
  if (fd_ < 0) {
    if (error_.empty()) error_ = std::strerror(errno);
    return;
  }
  // A folder opens fine on POSIX and only fails at the first read; say so plainly.
  struct stat st {};
  if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
    error_ = std::strerror(EISDIR);
    return;
  }
  readHead(encoding);
  if (error_.empty()) fill();
}

LineReader::~LineReader() {
  if (fd_ >= 0) ::close(fd_);
}

bool LineReader::retryAfter(int error) {
  if (error != EINTR) return false;
  if (!interrupted_ || !interrupted_()) return true;
  wasInterrupted_ = true;
  error_ = std::strerror(EINTR);
  return false;
}

const SubstitutionReport& LineReader::substitutions() const {
  static const SubstitutionReport kNone;
  return transcoder_ ? transcoder_->report() : kNone;
}

// The head is read in blocks like the rest and kept, to be handed out before any further read.
// A short read ends it too: a pipe gives what has been written so far, and waiting for more
// would hold back lines its writer expects to see converted.
void LineReader::readHead(EncodingChoice encoding) {
  const std::size_t target = encoding == EncodingChoice::Auto ? kDetectionBytes : kMarkProbe;
  head_.reserve(target + blockSize_);
  while (head_.size() < target && !eof_ && error_.empty()) {
    const std::size_t at = head_.size();
    head_.resize(at + blockSize_);
    const ssize_t n = ::read(fd_, head_.data() + at, blockSize_);
    head_.resize(at + static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
    if (n < 0) {
      if (retryAfter(errno)) continue;
      if (error_.empty()) error_ = std::strerror(errno);
      return;
    }
    if (n == 0) eof_ = true;
    if (static_cast<std::size_t>(n) < blockSize_) break;
  }
  detection_ = chooseEncoding(encoding, head_, eof_);
  headPos_ = detection_.markBytes;
  if (detection_.encoding != TextEncoding::Cp932) {
    transcoder_.emplace(detection_.encoding);
    decoded_.resize(blockSize_ + Transcoder::kSlack);
    fed_ = detection_.markBytes;
  }
}

// The next piece of input as it stands in the file: the head first, then block by block.
bool LineReader::nextChunk(std::string_view& chunk) {
  if (headPos_ < head_.size()) {
    const std::size_t n = std::min(blockSize_, head_.size() - headPos_);
    chunk = std::string_view(head_).substr(headPos_, n);
    headPos_ += n;
    return true;
  }
  if (!head_.empty()) {
    // Every line cut from the head has been handed out.
    std::string().swap(head_);
    headPos_ = 0;
  }
  while (!eof_ && error_.empty()) {
    const ssize_t n = ::read(fd_, buf_.data(), buf_.size());
    if (n < 0) {
      if (retryAfter(errno)) continue;
      if (error_.empty()) error_ = std::strerror(errno);
      return false;
    }
    if (n == 0) {
      eof_ = true;
      return false;
    }
    chunk = std::string_view(buf_.data(), static_cast<std::size_t>(n));
    return true;
  }
  return false;
}

// Moves to the next block of code page 932 bytes. False at the end of the input or on a read error.
bool LineReader::fill() {
  for (;;) {
    pos_ = end_ = 0;
    std::string_view chunk;
    const bool got = nextChunk(chunk);
    if (!got && !error_.empty()) return false;
    if (transcoder_) {
      std::size_t n = 0;
      if (got) {
        fed_ += chunk.size();
        n = transcoder_->feed(chunk, decoded_.data());
      } else if (!transcoderDone_) {
        transcoderDone_ = true;
        n = transcoder_->finish(decoded_.data());
      } else {
        break;
      }
      chunk = std::string_view(decoded_.data(), n);
    } else if (!got) {
      break;
    }
    if (chunk.empty()) continue;
    data_ = chunk.data();
    end_ = chunk.size();
    // The LF of a CR LF split across two blocks belongs to the line end already handed out.
    if (pendingCr_) {
      pendingCr_ = false;
      if (data_[0] == '\n') {
        pos_ = 1;
        ++consumed_;
        ++ends_.crLf;
        if (end_ == 1) continue;
      } else {
        ++ends_.cr;
      }
    }
    crAt_ = lfAt_ = kUnknown;
    blockHasNul_ = std::memchr(data_ + pos_, 0, end_ - pos_) != nullptr;
    return true;
  }
  pos_ = end_ = 0;
  if (pendingCr_) {
    pendingCr_ = false;
    ++ends_.cr;
  }
  return false;
}

void LineReader::handedOut(std::size_t lineBytes, std::size_t endBytes) {
  consumed_ += lineBytes + endBytes;
  ++lines_;
  if (!transcoder_) return;
  auto& samples = transcoder_->report().samples;
  while (samplesPlaced_ < samples.size() && samples[samplesPlaced_].offset < consumed_) {
    samples[samplesPlaced_++].line = lines_;
  }
}

bool LineReader::next(std::string& line) {
  std::string_view view;
  const bool got = next(view);
  line.assign(view);
  return got;
}

bool LineReader::next(std::string_view& line) {
  line = {};
  if (!error_.empty()) return false;
  carry_.clear();
  lineMayHoldNul_ = false;
  bool started = false;
  auto find = [this](char c) {
    const void* at = std::memchr(data_ + pos_, c, end_ - pos_);
    return at ? static_cast<std::size_t>(static_cast<const char*>(at) - data_) : end_;
  };
  for (;;) {
    if (pos_ == end_ && !fill()) {
      // An unterminated last line is still a line; a line end at the very end makes no extra one.
      if (!error_.empty() || !started) return false;
      line = carry_;
      handedOut(line.size(), 0);
      return true;
    }
    started = true;
    lineMayHoldNul_ = lineMayHoldNul_ || blockHasNul_;
    // Each kind of line end is searched for once per stretch of the block, so a block without
    // one kind is not searched again for every line.
    if (crAt_ == kUnknown || crAt_ < pos_) crAt_ = find('\r');
    if (lfAt_ == kUnknown || lfAt_ < pos_) lfAt_ = find('\n');
    const std::size_t at = std::min(crAt_, lfAt_);
    const char* begin = data_ + pos_;
    if (at == end_) {
      carry_.append(begin, end_ - pos_);
      pos_ = end_;
      continue;
    }
    const std::size_t len = at - pos_;
    // Most lines lie inside one block and are handed out where they stand.
    if (carry_.empty()) {
      line = std::string_view(begin, len);
    } else {
      carry_.append(begin, len);
      line = carry_;
    }
    pos_ = at + 1;
    if (data_[at] == '\n') {
      ++ends_.lf;
      handedOut(line.size(), 1);
      return true;
    }
    std::size_t endBytes = 1;
    if (pos_ < end_) {
      if (data_[pos_] == '\n') {
        ++pos_;
        ++endBytes;
        ++ends_.crLf;
      } else {
        ++ends_.cr;
      }
    } else {
      pendingCr_ = true;
    }
    handedOut(line.size(), endBytes);
    return true;
  }
}

}  // namespace orvella
