// Streams an input file as lines of raw bytes: a line ends at CR or CR LF; a lone LF stays in the line.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.hpp"

namespace orvella {

class LineReader {
 public:
  static constexpr std::size_t kBlockSize = std::size_t{64} * 1024;
  static constexpr std::size_t kPieceSize = std::size_t{1} << 20;

  // Opens the file and reads its first block, so a file that cannot be opened or read at all
  // shows up here: check ok() and error() afterwards.
  // A wait for input (a pipe nobody writes to) that a signal breaks ends when `interrupted`
  // says so; without it the wait goes on.
  explicit LineReader(const std::filesystem::path& file, std::size_t blockSize = kBlockSize,
                      std::function<bool()> interrupted = {});
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

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }  // the reason, in Japanese, if any
  const std::optional<platform::SystemError>& systemError() const { return systemError_; }
  // The identity of the open input, for checking it is none of the files a run writes.
  std::optional<platform::FileId> fileId() const { return file_.id(); }
  bool wasInterrupted() const { return wasInterrupted_; }
  std::uint64_t bytesRead() const { return consumed_; }  // input bytes handed out as lines and line ends

 private:
  bool fill();
  bool take(std::string_view& line, std::size_t maxCarry);
  void failWith(const platform::SystemError& error);

  platform::InputFile file_;
  std::vector<char> buf_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  bool pendingCr_ = false;
  bool blockHasNul_ = false;
  bool lineMayHoldNul_ = false;
  bool lineEnded_ = true;
  std::uint64_t consumed_ = 0;
  std::string carry_;  // a line that runs over the end of a block
  std::string error_;
  std::optional<platform::SystemError> systemError_;
  std::function<bool()> interrupted_;
  bool wasInterrupted_ = false;
};

}  // namespace orvella
