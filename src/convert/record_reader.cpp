#include "convert/record_reader.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <iterator>

#include "convert/line_reader.hpp"
#include "platform/files.hpp"

namespace orvella {

namespace {

constexpr std::size_t kHeaderCount = std::size(kHeaderLines);
constexpr std::size_t kFooterCount = std::size(kFooterLines);
constexpr std::size_t kFooterWidth = [] {
  std::size_t widest = 0;
  for (std::string_view line : kFooterLines) widest = std::max(widest, line.size());
  return widest;
}();
// Of a header line, more than any value a record can carry is not kept.
constexpr std::size_t kHeaderKept = 1024;

// One record's lines, block by block. A body line is handed on as it comes, except the last
// few short ones, which may yet turn out to be the footer.
class Parser {
 public:
  Parser(const std::filesystem::path& file, RecordVisitor& visitor) : file_(file), visitor_(visitor) {}

  // False at the first fault.
  bool feed(std::string_view block) {
    while (!block.empty()) {
      if (pendingCr_) {
        pendingCr_ = false;
        if (block.front() != '\n') return fail(FailureKind::RecordLineEnd);
        block.remove_prefix(1);
        if (!endLine()) return false;
        continue;
      }
      const void* lf = std::memchr(block.data(), '\n', block.size());
      const std::size_t at =
          lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - block.data()) : block.size();
      std::string_view content = block.substr(0, at);
      const bool crLast = !content.empty() && content.back() == '\r';
      if (crLast) content.remove_suffix(1);
      if (std::memchr(content.data(), '\r', content.size()) != nullptr)
        return fail(FailureKind::RecordLineEnd);
      if (lf && !crLast) return fail(FailureKind::RecordLineEnd);
      add(content);
      if (!lf) {
        pendingCr_ = crLast;
        return true;
      }
      block.remove_prefix(at + 1);
      if (!endLine()) return false;
    }
    return true;
  }

  std::optional<Failure> finish() {
    if (!fault_) {
      if (!inHeader() && (lineStarted_ || pendingCr_)) {
        fail(footerHeld() ? FailureKind::RecordAfterFooter : FailureKind::RecordCutLine);
      } else if (inHeader()) {
        fail(FailureKind::RecordEndsInHeader);
      } else if (!footerHeld()) {
        if (footerSeenAt_ != 0) line_ = footerSeenAt_;
        fail(footerSeenAt_ != 0 ? FailureKind::RecordAfterFooter : FailureKind::RecordNoFooter);
      }
    }
    return fault_;
  }

 private:
  bool inHeader() const { return line_ <= kHeaderCount; }

  bool fail(FailureKind kind) {
    fault_ = Failure{kind, std::nullopt, file_, line_};
    return false;
  }

  void add(std::string_view content) {
    if (content.empty()) return;
    lineStarted_ = true;
    if (inHeader()) {
      headerBytes_ += content.size();
      header_.append(content.substr(0, kHeaderKept - std::min(kHeaderKept, header_.size())));
      return;
    }
    if (streaming_) {
      visitor_.bodyPiece(content, false);
      return;
    }
    if (partial_.size() + content.size() <= kFooterWidth) {
      partial_.append(content);
      return;
    }
    // Too wide for the footer: the lines held back are body lines, and this one goes on as it comes.
    releaseHeld();
    streaming_ = true;
    if (partial_.empty()) {
      visitor_.bodyPiece(content, false);
    } else {
      partial_.append(content);
      visitor_.bodyPiece(partial_, false);
      partial_.clear();
    }
  }

  bool endLine() {
    lineStarted_ = false;
    if (inHeader()) {
      if (!headerLineOk()) return fail(FailureKind::RecordHeaderLine);
      header_.clear();
      headerBytes_ = 0;
    } else if (streaming_) {
      streaming_ = false;
      visitor_.bodyPiece({}, true);
    } else {
      noteFooter();
      held_.push_back(std::move(partial_));
      partial_.clear();
      if (held_.size() > kFooterCount) {
        visitor_.bodyPiece(held_.front(), true);
        held_.pop_front();
      }
    }
    ++line_;
    return true;
  }

  bool headerLineOk() {
    const HeaderLine& due = kHeaderLines[line_ - 1];
    if (due.value == HeaderValue::None) return headerBytes_ == due.text.size() && header_ == due.text;
    if (header_.compare(0, due.text.size(), due.text) != 0) return false;
    visitor_.headerValue(due.value, std::string_view(header_).substr(due.text.size()));
    return true;
  }

  bool footerHeld() const {
    return held_.size() == kFooterCount && std::equal(held_.begin(), held_.end(), std::begin(kFooterLines));
  }

  // A line after a whole footer: if the record ends badly, that is where it went wrong.
  void noteFooter() {
    if (footerSeenAt_ == 0 && footerHeld()) footerSeenAt_ = line_;
  }

  void releaseHeld() {
    noteFooter();
    for (const std::string& line : held_) visitor_.bodyPiece(line, true);
    held_.clear();
  }

  const std::filesystem::path& file_;
  RecordVisitor& visitor_;
  std::optional<Failure> fault_;
  std::uint64_t line_ = 1;
  bool pendingCr_ = false;    // the block ended on a CR; its LF comes next
  bool lineStarted_ = false;  // the line in hand has bytes
  std::string header_;
  std::uint64_t headerBytes_ = 0;
  bool streaming_ = false;
  std::string partial_;
  std::deque<std::string> held_;
  std::uint64_t footerSeenAt_ = 0;
};

}  // namespace

RecordReader::RecordReader() : block_(LineReader::kBlockSize) {}

std::optional<Failure> RecordReader::read(const std::filesystem::path& file, RecordVisitor& visitor) {
  bytes_ = 0;
  platform::InputFile in;
  if (auto failed = in.open(file)) {
    const bool folder = failed->kind == platform::ErrorKind::IsFolder;
    return Failure{folder ? FailureKind::RecordNotAFile : FailureKind::RecordUnreadable, *failed, file};
  }
  Parser parser(file, visitor);
  for (;;) {
    const platform::ReadResult got = in.read(block_.data(), block_.size());
    if (got.error) return Failure{FailureKind::RecordUnreadable, *got.error, file};
    if (got.bytes == 0) break;
    bytes_ += got.bytes;
    if (!parser.feed(std::string_view(block_.data(), got.bytes))) break;
  }
  return parser.finish();
}

}  // namespace orvella
