#include "convert/line_reader.hpp"

#include <cstring>

#include "convert/reasons.hpp"

namespace orvella {

LineReader::LineReader(const std::filesystem::path& file, std::size_t blockSize,
                       std::function<bool()> interrupted)
    : buf_(blockSize == 0 ? 1 : blockSize), interrupted_(std::move(interrupted)) {
  if (auto failed = file_.open(file, interrupted_)) {
    failWith(*failed);
    return;
  }
  fill();
}

LineReader::~LineReader() = default;

void LineReader::failWith(const platform::SystemError& error) {
  if (error.kind == platform::ErrorKind::Interrupted) wasInterrupted_ = true;
  systemError_ = error;
  error_ = reasonText(error);
}

// Refills the buffer from the start. False at the end of the input or on a read error.
bool LineReader::fill() {
  pos_ = end_ = 0;
  while (!eof_ && error_.empty()) {
    const platform::ReadResult got = file_.read(buf_.data(), buf_.size(), interrupted_);
    if (got.error) {
      failWith(*got.error);
      return false;
    }
    const std::size_t n = got.bytes;
    if (n == 0) {
      eof_ = true;
      return false;
    }
    end_ = n;
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

bool LineReader::next(std::string_view& line) { return take(line, std::string::npos); }

bool LineReader::nextPiece(std::string_view& piece) { return take(piece, kPieceSize); }

bool LineReader::take(std::string_view& line, std::size_t maxCarry) {
  line = {};
  if (!error_.empty()) return false;
  carry_.clear();
  lineMayHoldNul_ = false;
  lineEnded_ = true;
  bool started = false;
  for (;;) {
    if (pos_ == end_ && !fill()) {
      // A piece already read is handed out before the error is: nothing read is lost.
      const bool pieces = maxCarry != std::string::npos;
      if (!error_.empty() && !(pieces && !carry_.empty())) return false;
      // An unterminated last line is still a line; a line end at the very end makes no extra one.
      if (!started) return false;
      line = carry_;
      consumed_ += line.size();
      lineEnded_ = error_.empty();
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
      if (carry_.size() >= maxCarry) {
        line = carry_;
        consumed_ += line.size();
        lineEnded_ = false;
        return true;
      }
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
