#include "convert/converter.hpp"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "convert/defaults.hpp"
#include "convert/header_values.hpp"
#include "convert/line_reader.hpp"
#include "convert/reasons.hpp"
#include "convert/record_count.hpp"
#include "convert/texts.hpp"
#include "convert/write_text.hpp"
#include "core/cp932.hpp"
#include "core/length_b.hpp"
#include "core/utf.hpp"
#include "platform/files.hpp"

namespace orvella {

namespace {

constexpr std::int64_t kHeaderCount = RecordCount::kStart;
constexpr std::int64_t kRecordSlack = 4096;
// Memory stays bounded whatever the input: the record in hand is kept whole only up to
// kHeldBytes (its start stays on show past that), the bytes beyond go to its file in chunks of
// kChunkBytes, and a long line that may still be taken back waits in a scratch file past
// kHeldBytes.
constexpr std::size_t kHeldBytes = std::size_t{8} << 20;
constexpr std::size_t kChunkBytes = std::size_t{4} << 20;

class Run {
 public:
  Run(const ConvertSettings& settings, Message& message, ConvertHost& host)
      : settings_(settings), header_(settings.header), message_(message), host_(host) {
    result_.nextNumber = settings.startNumber;
    number_ = settings.startNumber;
  }

  ConvertResult go() {
    const auto limit = parseLimit(settings_.maxLength);
    if (!limit) return fail(ConvertStatus::InvalidLimit, std::string(texts::kInvalidLimit));
    limit_ = *limit;
    if (auto bad = unsafeHeaderField()) {
      return fail(ConvertStatus::InvalidHeader, std::string(bad) + std::string(texts::kHeaderBreaks));
    }

    folder_ = host_.SelectFolder();
    if (folder_.empty()) {
      host_.Message(MessageKind::Information, texts::kCancelled);
      result_.status = ConvertStatus::Cancelled;
      return result_;
    }
    if (auto refused = platform::checkFolderWritable(folder_)) return folderRefused(*refused);
    switch (lock_.acquire(folder_)) {
      case platform::FolderLock::State::Held: break;
      case platform::FolderLock::State::Busy:
        return fail(ConvertStatus::FolderBusy, std::string(texts::kFolderBusy) + "\n" + utf8Of(folder_));
      case platform::FolderLock::State::Failed: return folderRefused(*lock_.error());
    }
    // Only runs hold this lock, so what is left now was left by one that was killed.
    platform::removeRecordTemporaries(folder_);
    if (inputIsAnOutput()) {
      return fail(ConvertStatus::InputIsOutput, std::string(texts::kInputIsOutput) + "\n" + utf8Of(settings_.input));
    }

    LineReader& reader = reader_.emplace(settings_.input, LineReader::kBlockSize,
                                         [this] { return host_.StopRequested(); }, settings_.encoding);
    if (reader.wasInterrupted()) {
      result_.status = ConvertStatus::Stopped;
      return result_;
    }
    if (!reader.ok()) {
      std::string text(texts::kInputOpenFailed);
      text += '\n';
      text += utf8Of(settings_.input);
      text += ": ";
      text += reasonText(reader.error());
      reader_.reset();  // nothing was read, so nothing is told about the text
      return fail(ConvertStatus::InputError, text);
    }

    // A record holds about the limit plus its header and the line that overflows it; room for
    // that up front spares the copies of growing a large record.
    message_.reserve(static_cast<std::size_t>(
        std::min<std::int64_t>(*limit + kRecordSlack, static_cast<std::int64_t>(kHeldBytes))));
    if (!beginRecord()) return serialsOut();
    std::uint64_t progressed = 0;
    while (!host_.StopRequested()) {
      std::string_view piece;
      if (!reader.nextPiece(piece)) {
        if (lineOpen_ && !endLine()) return stopAfterLine();
        if (reader.wasInterrupted()) break;
        if (!reader.ok()) return readFailed(reader);
        if (!closeRecord()) return writeFailed();
        result_.bytesConverted = reader.bytesRead();
        return finish(ConvertStatus::Completed, texts::kCompleted);
      }
      // The structure check needs only a line's start; a line read in pieces ends later.
      if (!lineOpen_) {
        structure_.look(piece, reader.pieceEndsLine() ? reader.lineNumber() : reader.lineNumber() + 1);
      }
      const std::int64_t size =
          reader.lineMayHoldNul() ? rawLineLength(piece) : static_cast<std::int64_t>(piece.size());
      // Decoded lines are shorter or longer than the file's bytes; the bar follows the file.
      if (reader.decodes()) {
        host_.Progress(static_cast<std::int64_t>(reader.bytesRead() - progressed));
        progressed = reader.bytesRead();
      } else {
        host_.Progress(size);
      }
      host_.Breathe();
      if (!addPiece(piece, size, reader.pieceEndsLine())) return stopAfterLine();
    }
    // Stopped between lines: the record in hand is closed with the lines read so far.
    if (lineOpen_ && !endLine()) return stopAfterLine();
    if (!closeRecord()) return writeFailed();
    result_.bytesConverted = reader.bytesRead();
    noteInput();
    result_.status = ConvertStatus::Stopped;
    sync();
    return result_;
  }

 private:
  // ---- Checks before anything is read

  // The name of the first header value that would break the header, or null.
  const char* unsafeHeaderField() const {
    if (!isHeaderSafe(header_.subject)) return "Subject";
    if (!isHeaderSafe(header_.from)) return "From";
    if (!isHeaderSafe(header_.to)) return "To";
    if (!isHeaderSafe(header_.pattern)) return "Format";
    return nullptr;
  }

  // The input under any of its names (hard links count) among the files this run may write.
  bool inputIsAnOutput() const {
    const auto input = platform::fileIdOf(settings_.input);
    if (!input) return false;
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(folder_, ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
      const auto number = recordNumberOf(utf8Of(it->path().filename()));
      if (number && *number >= settings_.startNumber && platform::fileIdOf(it->path()) == input) return true;
    }
    return false;
  }

  static std::optional<int> recordNumberOf(const std::string& name) {
    if (name.size() != fileNameFor(0).size() || name.rfind("E1__", 0) != 0 || name.substr(8) != ".VMG") {
      return std::nullopt;
    }
    int number = 0;
    for (std::size_t i = 4; i < 8; ++i) {
      if (name[i] < '0' || name[i] > '9') return std::nullopt;
      number = number * 10 + (name[i] - '0');
    }
    return number;
  }

  ConvertResult folderRefused(const platform::SystemError& error) {
    return fail(ConvertStatus::FolderNotWritable,
                std::string(texts::kFolderNotWritable) + "\n" + utf8Of(folder_) + ": " + reasonText(error));
  }

  // ---- The record in hand

  void show() {
    if (host_.WantsRecord()) host_.ShowRecord(message_.curMessage());
  }

  bool beginRecord() {
    // Checked before NewFile so the last record written stays in the buffer.
    if (header_.serialOn && message_.subjectSerial() > Message::kMaxSerial) return false;
    message_.NewFile();
    header_.date = host_.DateText();
    if (!isHeaderSafe(header_.date)) header_.date = headerSafe(header_.date);
    try {
      message_.AddHeader(header_);
    } catch (const SerialExhausted&) {
      return false;
    }
    count_ = kHeaderCount;
    flushed_ = 0;
    frozen_ = false;
    tail_.clear();
    show();
    return true;
  }

  // Bytes of the record in hand so far.
  std::uint64_t recordBytes() const {
    return frozen_ ? record_.size() + tail_.size() : message_.curMessage().size();
  }

  // Appends body bytes to the record in hand: into the buffer while the record is small, then
  // to its file. False after a failed write (failure_ says why).
  bool put(std::string_view bytes, bool endsLine) {
    if (!frozen_) {
      message_.AddPiece(bytes);
      if (endsLine) message_.EndLine();
      if (message_.curMessage().size() - flushed_ < kHeldBytes) return true;
      // Too large to hold: the start stays in the buffer, on show; the rest goes to the file.
      if (!openRecordFile()) return false;
      const std::string_view held = std::string_view(message_.curMessage()).substr(flushed_);
      if (!writeRecord(held)) return false;
      flushed_ = message_.curMessage().size();
      frozen_ = true;
      return true;
    }
    tail_.append(bytes);
    if (endsLine) tail_.append(kCrLf);
    if (tail_.size() < kChunkBytes) return true;
    const bool ok = writeRecord(tail_);
    tail_.clear();
    return ok;
  }

  bool openRecordFile() {
    if (record_.isOpen()) return true;
    if (auto failed = record_.create(folder_)) {
      failure_ = *failed;
      return false;
    }
    return true;
  }

  bool writeRecord(std::string_view bytes) {
    if (auto failed = record_.write(bytes)) {
      failure_ = *failed;
      return false;
    }
    return true;
  }

  // A piece of the current line. While the line may still fit the record in hand it waits
  // (in pending_, then in a scratch file); once it cannot, the record is closed without it and
  // the line opens the next one, where its pieces go straight in. A whole line that fits, the
  // usual case, goes straight in too.
  bool addPiece(std::string_view piece, std::int64_t size, bool endsLine) {
    lineOpen_ = true;
    lineCount_ += size;
    lineBytes_ += piece.size();
    if (!lineMoved_ && !fits() && !moveLineToNextRecord()) return false;
    if (lineMoved_ || (endsLine && pending_.empty() && !scratch_.isOpen())) {
      if (recordBytes() + piece.size() + kCrLf.size() + kFooterBytes > kMaxRecordBytes) {
        tooLarge_ = true;
        return false;
      }
      if (!put(piece, endsLine)) return false;
      if (endsLine) finishLine();
      return true;
    }
    if (!hold(piece)) return false;
    return endsLine ? endLine() : true;
  }

  // Keeps a piece of a line that may yet be taken back, in memory up to a point.
  bool hold(std::string_view piece) {
    if (!scratch_.isOpen() && pending_.size() + piece.size() <= kHeldBytes) {
      pending_.append(piece);
      return true;
    }
    if (!scratch_.isOpen()) {
      if (auto failed = scratch_.create(folder_)) return scratchFailed(*failed);
      if (auto failed = scratch_.write(pending_)) return scratchFailed(*failed);
      pending_.clear();
      pending_.shrink_to_fit();
    }
    if (auto failed = scratch_.write(piece)) return scratchFailed(*failed);
    return true;
  }

  bool scratchFailed(const platform::SystemError& error) {
    failure_ = error;
    return false;
  }

  // Whether the line so far, with its line end, still fits the record in hand.
  bool fits() const {
    return count_ + lineCount_ + 2 <= limit_ &&
           recordBytes() + lineBytes_ + kCrLf.size() + kFooterBytes <= kMaxRecordBytes;
  }

  bool moveLineToNextRecord() {
    if (!closeRecord()) return false;
    if (numbersOut_) {
      outOfNumbers_ = true;
      return false;
    }
    if (!beginRecord()) {
      outOfSerials_ = true;
      return false;
    }
    lineMoved_ = true;
    if (recordBytes() + lineBytes_ + kFooterBytes > kMaxRecordBytes) {
      tooLarge_ = true;
      return false;
    }
    return movePending();
  }

  // What waited of the line goes into the record in hand.
  bool movePending() {
    if (!scratch_.isOpen()) {
      if (pending_.empty()) return true;
      const bool ok = put(pending_, false);
      pending_.clear();
      return ok;
    }
    std::string chunk;
    for (std::uint64_t at = 0; at < scratch_.size();) {
      chunk.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kChunkBytes, scratch_.size() - at)));
      if (auto failed = scratch_.readAt(at, chunk.data(), chunk.size())) return scratchFailed(*failed);
      if (!put(chunk, false)) return false;
      at += chunk.size();
    }
    scratch_.discard();
    return true;
  }

  // Ends the open line: what waited of it goes in first.
  bool endLine() {
    if (!lineMoved_ && !movePending()) return false;
    if (!put({}, true)) return false;
    finishLine();
    return true;
  }

  void finishLine() {
    count_ = lineMoved_ ? kHeaderCount + lineCount_ + 2 : count_ + lineCount_ + 2;
    lineOpen_ = false;
    lineMoved_ = false;
    lineCount_ = 0;
    lineBytes_ = 0;
    show();
  }

  // Footer, write, and one step of the file number (which never passes the last). False when the
  // record could not be written: the run stops there, so the series has no hole.
  bool closeRecord() {
    if (!frozen_) {
      message_.AddFooter();
      show();
    } else {
      tail_.append("\r\nEND:VBODY\r\nEND:VMSG\r\n");
    }
    const std::filesystem::path file = folder_ / fileNameFor(number_);
    failedFile_ = file;
    if (!openRecordFile()) return false;
    const std::string_view rest =
        frozen_ ? std::string_view(tail_) : std::string_view(message_.curMessage()).substr(flushed_);
    if (!writeRecord(rest)) return false;
    tail_.clear();
    if (auto failed = record_.commit(file)) {
      failure_ = *failed;
      return false;
    }
    failedFile_.clear();
    written_.push_back(file);
    ++result_.filesWritten;
    if (!result_.firstNumber) result_.firstNumber = number_;
    result_.lastNumber = number_;
    if (number_ < kLastFileNumber) {
      ++number_;
      result_.nextNumber = number_;
      host_.SpinnerStep(number_);
    } else {
      numbersOut_ = true;
    }
    return true;
  }

  // Once, before the run's last message, so a window can add it to that message.
  void noteInput() {
    if (!reader_ || noted_) return;
    noted_ = true;
    result_.input = reportOf(*reader_, structure_);
    host_.InputRead(*result_.input);
  }

  // ---- Endings

  ConvertResult stopAfterLine() {
    if (outOfNumbers_) return stop(ConvertStatus::NumbersOut, texts::fillIn(texts::kNumbersOut, {{"last", std::to_string(kLastFileNumber)}}));
    if (outOfSerials_) return serialsOut();
    if (tooLarge_) return stop(ConvertStatus::RecordTooLarge, texts::kRecordTooLarge);
    return writeFailed();
  }

  ConvertResult writeFailed() {
    const std::filesystem::path file = failedFile_.empty() ? folder_ / fileNameFor(number_) : failedFile_;
    const std::string text = writeFailureText(file, failure_);
    record_.discard();
    result_.failedFiles.push_back(file);
    host_.WriteFailed(file, text);
    return stop(ConvertStatus::WriteFailures, text + "\n");
  }

  ConvertResult finish(ConvertStatus status, std::string_view text) {
    noteInput();
    result_.status = status;
    if (auto failed = sync()) {
      return stop(ConvertStatus::SyncFailed, std::string(texts::kSyncFailed) + " (" + reasonText(*failed) + ")\n");
    }
    std::string message(text);
    findLeftovers();
    const std::string leftovers = leftoversSentence(result_);
    if (!leftovers.empty()) message += "\n" + leftovers;
    host_.Message(MessageKind::Information, message);
    return result_;
  }

  std::optional<platform::SystemError> sync() {
    if (synced_ || written_.empty()) return std::nullopt;
    synced_ = true;
    return platform::syncRecords(folder_, written_);
  }

  // Records of the series just past the last one written, left there by an earlier run.
  void findLeftovers() {
    if (!result_.lastNumber || *result_.lastNumber >= kLastFileNumber) return;
    const int first = *result_.lastNumber + 1;
    int last = first - 1;
    std::error_code ec;
    while (last < kLastFileNumber && std::filesystem::exists(folder_ / fileNameFor(last + 1), ec)) ++last;
    if (last >= first) result_.leftovers = std::make_pair(first, last);
  }

  ConvertResult serialsOut() { return stop(ConvertStatus::SerialsOut, texts::fillIn(texts::kSerialsOut, {{"last", std::to_string(Message::kMaxSerial)}})); }

  ConvertResult readFailed(const LineReader& reader) {
    // What was read is written whole first, as an interrupt does.
    if (!closeRecord()) return writeFailed();
    std::string text(texts::kInputReadFailed);
    text += " (";
    text += reasonText(reader.error());
    text += ")\n";
    text += texts::kStoppedAtBytePrefix;
    text += std::to_string(reader.bytesRead());
    text += texts::kStoppedAtByteSuffix;
    result_.bytesConverted = reader.bytesRead();
    return stop(ConvertStatus::InputError, text);
  }

  // A stop part way: what was written stays, on disk, and the message says where the run ended.
  ConvertResult stop(ConvertStatus status, std::string_view reason) {
    noteInput();
    scratch_.discard();
    record_.discard();
    std::string text(reason);
    if (result_.lastNumber) {
      text += texts::kLastFilePrefix;
      text += fileNameFor(*result_.lastNumber);
      text += texts::kLastFileSuffix;
    } else {
      text += texts::kNoFileWritten;
    }
    text += texts::kRestNotConverted;
    if (status != ConvertStatus::SyncFailed) {
      if (auto failed = sync()) {
        text += "\n";
        text += texts::kSyncFailed;
      }
    }
    findLeftovers();
    const std::string leftovers = leftoversSentence(result_);
    if (!leftovers.empty()) text += "\n" + leftovers;
    return fail(status, text);
  }

  ConvertResult fail(ConvertStatus status, const std::string& text) {
    noteInput();
    result_.status = status;
    host_.Message(MessageKind::Error, text);
    return result_;
  }

  const ConvertSettings& settings_;
  HeaderInputs header_;
  Message& message_;
  ConvertHost& host_;
  std::filesystem::path folder_;
  platform::FolderLock lock_;
  std::int64_t limit_ = 0;
  int number_ = 0;
  bool numbersOut_ = false;
  std::optional<LineReader> reader_;
  bool noted_ = false;
  StructureLines structure_;
  ConvertResult result_;

  // The record in hand: its count, its file once it is too large to hold, and what of it has
  // gone there.
  std::int64_t count_ = kHeaderCount;
  platform::RecordFile record_;
  std::size_t flushed_ = 0;  // bytes of the buffer already in the file
  bool frozen_ = false;      // the buffer holds only the start; the rest passes through tail_
  std::string tail_;

  // The line being read, in pieces.
  bool lineOpen_ = false;
  bool lineMoved_ = false;  // it opened the record in hand and goes straight in
  std::int64_t lineCount_ = 0;
  std::uint64_t lineBytes_ = 0;
  std::string pending_;
  platform::RecordFile scratch_;

  std::vector<std::filesystem::path> written_;
  bool synced_ = false;
  std::filesystem::path failedFile_;
  platform::SystemError failure_;
  bool outOfNumbers_ = false;
  bool outOfSerials_ = false;
  bool tooLarge_ = false;
};

}  // namespace

std::string fileNameFor(int number) {
  std::string name = "E1__0000.VMG";
  for (std::size_t i = 7; number > 0 && i >= 4; --i) {
    name[i] = static_cast<char>('0' + number % 10);
    number /= 10;
  }
  return name;
}

std::string leftoversSentence(const ConvertResult& result) {
  if (!result.leftovers) return {};
  std::string text(texts::kLeftoversPrefix);
  text += fileNameFor(result.leftovers->first);
  if (result.leftovers->second != result.leftovers->first) {
    text += texts::kLeftoversMiddle;
    text += fileNameFor(result.leftovers->second);
  }
  text += texts::kLeftoversSuffix;
  return text;
}

ConvertResult Convert(const ConvertSettings& settings, Message& message, ConvertHost& host) {
  if (settings.startNumber < 0 || settings.startNumber > kLastFileNumber) {
    throw std::out_of_range("start number outside the file numbers");
  }
  return Run(settings, message, host).go();
}

}  // namespace orvella
