// Streams an input file as lines of code page 932 bytes: a line ends at CR, CR LF or a lone LF.
// Code page 932 input is handed out raw; UTF-8 and UTF-16 input is transcoded on the way.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/encoding.hpp"
#include "convert/failure.hpp"
#include "convert/transcoder.hpp"
#include "platform/files.hpp"

namespace orvella {

struct LineEndCounts {
  std::uint64_t crLf = 0;
  std::uint64_t cr = 0;
  std::uint64_t lf = 0;
};

class LineReader {
 public:
  static constexpr std::size_t kBlockSize = std::size_t{64} * 1024;
  static constexpr std::size_t kPieceSize = std::size_t{1} << 20;

  // Opens the file and reads its head (enough to tell its encoding, see kDetectionBytes), so a
  // file that cannot be opened or read at all shows up here: check failure() afterwards.
  // The head is read once and then handed out as lines; nothing is read twice.
  // A wait for input (a pipe nobody writes to) that a signal breaks ends when `interrupted`
  // says so; without it the wait goes on.
  explicit LineReader(const std::filesystem::path& file, std::size_t blockSize = kBlockSize,
                      std::function<bool()> interrupted = {}, EncodingChoice encoding = EncodingChoice::Auto);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Next line without its line end; false at the end of the input or on a read error.
  // Memory grows only with the longest line, never with the file.
  bool next(std::string& line);
  // The same without a copy: the view stays valid until the next call.
  bool next(std::string_view& line);

  // The same in pieces of about kPieceSize bytes or less, so no line is ever held whole:
  // pieceEndsLine() tells whether the piece just handed out ends its line. A read error part
  // way through a line hands out what was read of it first (pieceEndsLine() false), then fails.
  bool nextPiece(std::string_view& piece);
  bool pieceEndsLine() const { return lineEnded_; }

  // False when no byte of the last line can be NUL, so its measure is just its length; a
  // block is searched once instead of every line.
  bool lineMayHoldNul() const { return lineMayHoldNul_; }

  // The failed open or read (a Read failure of this file, with the system's error); nothing while
  // all is well.
  const std::optional<Failure>& failure() const { return failure_; }
  // The identity of the open input, for checking it is none of the files a run writes.
  std::optional<platform::FileId> fileId() const { return file_.id(); }
  bool wasInterrupted() const { return wasInterrupted_; }
  // Input bytes taken in: for raw input exactly those handed out as lines and line ends; for
  // decoded input those transcoded so far, which run up to a block ahead of the lines.
  std::uint64_t bytesRead() const { return transcoder_ ? fed_ : consumed_; }

  const Detection& detection() const { return detection_; }
  // The bytes detection read, byte-order mark included, until lines have been handed out from
  // all of them; then empty.
  std::string_view head() const { return head_; }
  bool decodes() const { return transcoder_.has_value(); }
  // The '?' written for decoded input so far, samples with their line numbers once handed out.
  const SubstitutionReport& substitutions() const;
  const LineEndCounts& lineEnds() const { return ends_; }
  std::uint64_t lineNumber() const { return lines_; }  // of the last line handed out
  // Where the last piece handed out begins among the code page 932 bytes of decoded input.
  std::uint64_t pieceOffset() const { return pieceOffset_; }
  // Decoded input: the '?' handed out stay open to forgetSubstitutions until settled, so those of
  // text a filter drops are no longer counted (see Transcoder::track).
  void trackSubstitutions();
  void forgetSubstitutions(std::uint64_t from, std::uint64_t to);
  void settleSubstitutions(std::uint64_t upTo);

 private:
  void readHead(EncodingChoice encoding);
  bool nextChunk(std::string_view& chunk);
  bool fill();
  bool take(std::string_view& line, std::size_t maxCarry);
  void endLine(std::string_view& line, std::size_t at);
  void failWith(const platform::SystemError& error);
  void handedOut(std::size_t bytes, std::size_t endBytes, bool endsLine);

  platform::InputFile file_;
  std::size_t blockSize_;
  std::vector<char> buf_;
  std::string head_;  // the first bytes, read for detection and handed out before any more
  std::size_t headPos_ = 0;
  Detection detection_;
  std::optional<Transcoder> transcoder_;
  bool transcoderDone_ = false;
  std::vector<char> decoded_;  // room for one transcoded block
  std::uint64_t fed_ = 0;

  // The block the lines are cut from: raw input, or decoded input.
  const char* data_ = nullptr;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  std::size_t crAt_ = 0;  // next CR and LF at or after pos_, end_ when none; kUnknown: not searched
  std::size_t lfAt_ = 0;
  bool eof_ = false;
  bool pendingCr_ = false;
  bool blockHasNul_ = false;
  bool lineMayHoldNul_ = false;
  bool lineEnded_ = true;
  std::uint64_t consumed_ = 0;
  std::uint64_t pieceOffset_ = 0;
  bool holdSubstitutions_ = false;  // the '?' handed out stay open to forgetSubstitutions
  std::uint64_t lines_ = 0;
  std::size_t samplesPlaced_ = 0;
  LineEndCounts ends_;
  std::string carry_;  // a line that runs over the end of a block
  std::filesystem::path path_;
  std::optional<Failure> failure_;
  std::function<bool()> interrupted_;
  bool wasInterrupted_ = false;
};

}  // namespace orvella
