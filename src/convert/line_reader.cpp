#include "convert/line_reader.hpp"

#include <algorithm>
#include <cstring>
#include <limits>

namespace orvella {

namespace {

constexpr std::size_t kUnknown = std::numeric_limits<std::size_t>::max();
// Enough of the head to see a byte-order mark when the encoding is given.
constexpr std::size_t kMarkProbe = 4;

}  // namespace

LineReader::LineReader(const std::filesystem::path& file, std::size_t blockSize,
                       std::function<bool()> interrupted, EncodingChoice encoding)
    : blockSize_(blockSize == 0 ? 1 : blockSize),
      buf_(blockSize_),
      path_(file),
      interrupted_(std::move(interrupted)) {
  if (auto failed = file_.open(file, interrupted_)) {
    failWith(*failed);
    return;
  }
  readHead(encoding);
  if (!failure_) fill();
}

LineReader::~LineReader() = default;

void LineReader::failWith(const platform::SystemError& error) {
  if (error.kind == platform::ErrorKind::Interrupted) wasInterrupted_ = true;
  failure_ = Failure{FailureKind::Read, error, path_};
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
  while (head_.size() < target && !eof_ && !failure_) {
    const std::size_t at = head_.size();
    head_.resize(at + blockSize_);
    const platform::ReadResult got = file_.read(head_.data() + at, blockSize_, interrupted_);
    head_.resize(at + got.bytes);
    if (got.error) {
      failWith(*got.error);
      return;
    }
    if (got.bytes == 0) eof_ = true;
    if (got.bytes < blockSize_) break;
  }
  detection_ = chooseEncoding(encoding, head_, eof_);
  headPos_ = detection_.markBytes;
  if (detection_.encoding != TextEncoding::Cp932) {
    transcoder_.emplace(detection_.encoding);
    transcoder_->track();
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
  if (eof_ || failure_) return false;
  const platform::ReadResult got = file_.read(buf_.data(), buf_.size(), interrupted_);
  if (got.error) {
    failWith(*got.error);
    return false;
  }
  if (got.bytes == 0) {
    eof_ = true;
    return false;
  }
  chunk = std::string_view(buf_.data(), got.bytes);
  return true;
}

// Moves to the next block of code page 932 bytes. False at the end of the input or on a read error.
bool LineReader::fill() {
  for (;;) {
    pos_ = end_ = 0;
    std::string_view chunk;
    const bool got = nextChunk(chunk);
    if (!got && failure_) return false;
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

void LineReader::trackSubstitutions() { holdSubstitutions_ = true; }

void LineReader::forgetSubstitutions(std::uint64_t from, std::uint64_t to) {
  if (!transcoder_) return;
  const std::size_t before = transcoder_->report().samples.size();
  transcoder_->forget(from, to);
  // Those taken back had been handed out, and so placed.
  samplesPlaced_ -= before - transcoder_->report().samples.size();
}

void LineReader::settleSubstitutions(std::uint64_t upTo) {
  if (!transcoder_) return;
  transcoder_->settle(upTo);
  samplesPlaced_ = std::min(samplesPlaced_, transcoder_->report().samples.size());
}

void LineReader::handedOut(std::size_t bytes, std::size_t endBytes, bool endsLine) {
  pieceOffset_ = consumed_;
  consumed_ += bytes + endBytes;
  lineEnded_ = endsLine;
  if (endsLine) ++lines_;
  if (!transcoder_) return;
  if (!holdSubstitutions_) settleSubstitutions(consumed_);
  // A '?' in a piece belongs to the line the piece is part of, which ends later.
  const std::uint64_t line = endsLine ? lines_ : lines_ + 1;
  auto& samples = transcoder_->report().samples;
  while (samplesPlaced_ < samples.size() && samples[samplesPlaced_].offset < consumed_) {
    samples[samplesPlaced_++].line = line;
  }
}

bool LineReader::next(std::string& line) {
  std::string_view view;
  const bool got = next(view);
  line.assign(view);
  return got;
}

bool LineReader::next(std::string_view& line) { return take(line, std::string::npos); }

bool LineReader::nextPiece(std::string_view& piece) { return take(piece, kPieceSize); }

// Hands out the line that ends at the CR or LF at `at`, and takes in its line end.
void LineReader::endLine(std::string_view& line, std::size_t at) {
  const char* begin = data_ + pos_;
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
    handedOut(line.size(), 1, true);
    return;
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
  handedOut(line.size(), endBytes, true);
}

bool LineReader::take(std::string_view& line, std::size_t maxCarry) {
  line = {};
  if (failure_) return false;
  carry_.clear();
  lineMayHoldNul_ = false;
  lineEnded_ = true;
  bool started = false;
  auto find = [this](char c) {
    const void* at = std::memchr(data_ + pos_, c, end_ - pos_);
    return at ? static_cast<std::size_t>(static_cast<const char*>(at) - data_) : end_;
  };
  for (;;) {
    if (pos_ == end_ && !fill()) {
      // A piece already read is handed out before the error is: nothing read is lost.
      const bool pieces = maxCarry != std::string::npos;
      if (failure_ && !(pieces && !carry_.empty())) return false;
      // An unterminated last line is still a line; a line end at the very end makes no extra one.
      if (!started) return false;
      line = carry_;
      handedOut(line.size(), 0, !failure_);
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
      if (carry_.size() >= maxCarry) {
        line = carry_;
        handedOut(line.size(), 0, false);
        return true;
      }
      continue;
    }
    endLine(line, at);
    return true;
  }
}

}  // namespace orvella
